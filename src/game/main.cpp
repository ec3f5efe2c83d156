#include "game.h"

int main(int argc, char** argv) {
    return gameMain(argc, argv);
}
