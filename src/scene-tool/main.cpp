#include "scene-tool.h"

int main(int argc, char** argv) {
    return runSceneTool(argc, argv);
}
