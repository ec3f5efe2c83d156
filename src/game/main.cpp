#include <cstdlib>

#include "game.h"

int main(int argc, char** argv) {
    int const status = gameMain(argc, argv);
#ifdef __EMSCRIPTEN__
    // In a page, main has long returned to the browser while the game
    // played: exit is what tells the page how the game ended.
    std::exit(status);
#endif
    return status;
}
