// F5, the scene read again while the game runs, on a scene of 100000
// voxels: as the game does it now ("swap": the new world is built from one
// reading of the file and swapped in, or the old one kept when the file has
// a problem), against the way it did it before ("check-then-build": the
// file read once to check it without graphics, and once more to build the
// world that replaces the old one). No window: the renderer's part is the
// same in both. Run from the project folder.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "game-loop.h"
#include "log-capture.h"
#include "ratio-reporter.h"
#include "scene-loader.h"

namespace {

void swap(benchmark::State& state, std::string const& path) {
    LogCapture quiet;
    auto const player = std::make_shared<Player>();
    std::shared_ptr<World> world = loadWorld(path, player).world;
    for (auto _ : state) benchmark::DoNotOptimize(reloadScene(path, player, world).world);
    state.counters["entities"] = world->intersector->size();
    state.counters["scene_reads"] = 1;
}

void checkThenBuild(benchmark::State& state, std::string const& path) {
    LogCapture quiet;
    auto const player = std::make_shared<Player>();
    std::shared_ptr<World> world = loadWorld(path, player).world;
    for (auto _ : state) {
        if (loadWorld(path, player).world == nullptr) continue;
        world.reset();
        world = loadWorld(path, player).world;
    }
    state.counters["entities"] = world->intersector->size();
    state.counters["scene_reads"] = 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string const cloud = (std::filesystem::temp_directory_path() / "tessarine-reload-cloud.txt").string();
    std::ofstream(cloud) << "rect (0, -0.5, 0), (90, 1, 90), green\nvoxels_cloud (0, 3, -40), (2.5, 0.25, 2.5), 1\n";
    benchmark::RegisterBenchmark("Reload/100k-voxels/check-then-build", checkThenBuild, cloud)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Reload/100k-voxels/swap", swap, cloud)->Unit(benchmark::kMillisecond);
    return runBenchmarksWithRatios(argc, argv, "check-then-build");
}
