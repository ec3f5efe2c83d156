// Writes a block world as a scene (terrain columns, trees, plants, clouds),
// the same for the same seed, and says what it holds:
//   build/release/tools/make-terrain [--seed N] [--side COLUMNS] FILE
#include <cstdio>
#include <filesystem>
#include <fstream>

#include <CLI/CLI.hpp>

#include "terrain-world.h"

int main(int argc, char** argv) {
    CLI::App app("Writes a block world as a scene.", "make-terrain");
    TerrainShape shape;
    std::string path;
    app.add_option("--seed", shape.seed, "the same seed writes the same world")->capture_default_str();
    app.add_option("--side", shape.side, "columns along x and along z")
        ->check(CLI::Range(1, 4096))
        ->capture_default_str();
    app.add_option("FILE", path, "the scene to write")->required();
    CLI11_PARSE(app, argc, argv);

    // Written beside the file and moved over it once whole.
    std::string const part = path + ".part";
    TerrainCount count;
    {
        std::ofstream out(part);
        if (out) count = writeTerrainScene(out, shape);
        if (!out.flush()) {
            std::fprintf(stderr, "make-terrain: cannot write %s\n", part.c_str());
            std::filesystem::remove(part);
            return 1;
        }
    }
    std::error_code error;
    std::filesystem::rename(part, path, error);
    if (error) {
        std::fprintf(stderr, "make-terrain: cannot write %s: %s\n", path.c_str(), error.message().c_str());
        return 1;
    }
    std::printf(
        "%s: %lld columns (%lld terrain blocks), %lld voxels: %lld of trunks, %lld of leaves, %lld of "
        "plants, %lld of clouds\n",
        path.c_str(), count.columns, count.terrainBlocks, count.voxels(), count.trunks, count.leaves, count.plants,
        count.clouds);
    return 0;
}
