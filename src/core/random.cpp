#include "random.h"

void initRandomToken() {
    raylib::SetRandomSeed(RANDOM_SEED);
    srand(RANDOM_SEED);
}
