// Voxel models of real size: loading a monument of about 850000 voxels (read,
// checked, composed, meshed greedily and merged into solid boxes), and one
// player move inside the house of the building scene, whose walls, floors
// and stairs are solid boxes of its voxels, against the full scan of
// IntersectorNaiveImpl ("naive", the reference). Run from the project folder.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>

#include "intersector-naive-impl.h"
#include "log-capture.h"
#include "model-loader.h"
#include "ratio-reporter.h"
#include "scene-loader.h"
#include "vox-writer.h"

namespace {

// A stepped monument of 112 x 112 x 120 voxels with carved windows and
// patches of colour: 850000 voxels, about.
VoxModel monument() {
    VoxModel model;
    model.sizeX = model.sizeY = 112, model.sizeZ = 120;
    for (int i = 0; i < 8; ++i)
        model.palette[i] = {uint8_t(120 + 15 * i), uint8_t(110 + 10 * i), uint8_t(90 + 5 * i), 255};
    for (int z = 0; z < model.sizeZ; ++z) {
        int const inset = z / 12 * 3;  // a step every 12 voxels
        for (int y = inset; y < model.sizeY - inset; ++y) {
            for (int x = inset; x < model.sizeX - inset; ++x) {
                if ((x + y) % 12 < 2 && z % 12 > 3 && z % 12 < 9) continue;
                uint8_t const color = uint8_t(1 + (z / 7 + (x * 31 + y * 17) % 5 / 4) % 8);
                model.voxels.push_back({uint8_t(x), uint8_t(y), uint8_t(z), color});
            }
        }
    }
    return model;
}

void load(benchmark::State& state, std::string const& path, size_t voxels) {
    LogCapture quiet;
    size_t quads = 0, boxes = 0;
    for (auto _ : state) {
        LoadedModel const model(path);
        quads = 0;
        for (int i = 0; i < model.model.meshCount; ++i)
            quads += static_cast<size_t>(model.model.meshes[i].vertexCount / 4);
        boxes = model.solidBoxes.size();
    }
    state.counters["voxels"] = static_cast<double>(voxels);
    state.counters["quads"] = static_cast<double>(quads);
    state.counters["solid_boxes"] = static_cast<double>(boxes);
}

// Back and forth across the floor above, among the walls, floors and stairs.
template <typename Index>
void moveInside(benchmark::State& state) {
    LogCapture quiet;
    auto const player = std::make_shared<Player>();
    auto const world = loadWorld("assets/scenes/building/building.txt", player).world;
    std::shared_ptr<Intersector> index = world->intersector;
    if constexpr (std::is_same_v<Index, IntersectorNaiveImpl>) {
        index = std::make_shared<IntersectorNaiveImpl>();
        index->addEntity(world->intersector->getEntities());
    }
    player->position = {-8, 4.36f, 4};
    float step = 0.15f;
    for (auto _ : state) {
        raylib::Vector3 target = player->position;
        target.z += step;
        if (target.z > 7 || target.z < 1) step = -step;
        player->move(target, index);
    }
    state.counters["entities"] = index->size();
}

}  // namespace

int main(int argc, char** argv) {
    VoxModel const model = monument();
    std::string const path = (std::filesystem::temp_directory_path() / "tessarine-monument.vox").string();
    writeVox(path, model);
    benchmark::RegisterBenchmark("LoadModel/monument/game", load, path, model.voxels.size())
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("MoveInsideTheHouse/naive", moveInside<IntersectorNaiveImpl>);
    benchmark::RegisterBenchmark("MoveInsideTheHouse/tree", moveInside<Intersector>);
    return runBenchmarksWithRatios(argc, argv, "naive");
}
