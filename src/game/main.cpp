#include "game.h"

int main() {
    return runGame();
}
