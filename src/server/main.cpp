#include "server.h"

int main(int argc, char** argv) {
    return serverMain(argc, argv);
}
