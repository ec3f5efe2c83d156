#include "game.h"

int main() {
    runGame();
    return 0;
}
