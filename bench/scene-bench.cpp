// Loading and drawing scenes: the reference paths (old) against the fast
// ones (new). Run from the project folder: the worlds read assets/.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "bench-window.h"
#include "fixed-controller.h"
#include "game-loop.h"
#include "game.h"
#include "ratio-reporter.h"
#include "scene-loader.h"

namespace {

namespace fs = std::filesystem;

WorldOptions const OLD{false, false, false};
WorldOptions const NEW{};

// One cloud of 100000 voxels of 0.025 units over a floor: all the cells of a
// 100 x 10 x 100 grid.
std::string const CLOUD_SCENE =
    "rect (0, -0.5, 0), (90, 1, 90), green\n"
    "voxels_cloud (0, 3, -40), (2.5, 0.25, 2.5), 1\n";

std::string writeScene(std::string const& name, std::string const& text) {
    fs::path const path = fs::temp_directory_path() / name;
    std::ofstream(path) << text;
    return path.string();
}

std::string cloudScenePath() {
    static std::string const path = writeScene("tessarine-bench-cloud.txt", CLOUD_SCENE);
    return path;
}

std::shared_ptr<World> load(std::string const& path, WorldOptions options) {
    std::ostringstream quiet;
    auto const saved = std::clog.rdbuf(quiet.rdbuf());
    initRandomToken();
    auto world = loadScene(path, std::make_shared<Player>(), options);
    std::clog.rdbuf(saved);
    return world;
}

void loadCloud(benchmark::State& state, WorldOptions options) {
    for (auto _ : state) {
        auto world = load(cloudScenePath(), options);
        benchmark::DoNotOptimize(world->intersector->size());
        state.counters["entities"] = world->intersector->size();
    }
}

// Draws frames of a scene seen from the start; reports the time of a whole
// frame and, as "logic", the CPU time of the frame's steps before drawing.
void frames(benchmark::State& state, std::string const& path, WorldOptions options) {
    auto world = load(path, options);
    auto const player = world->player;
    raylib::Camera3D camera = startCamera();
    FixedController const idle(0, 0);
    double logicSeconds = 0;
    for (int i = 0; i < 5; ++i) world->render(camera, false);  // bakes on the first frame
    for (auto _ : state) {
        auto const start = std::chrono::steady_clock::now();
        stepFrame(camera, idle, *player, world->intersector, 1 / 60.0f, {0.5f, 0});
        logicSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        world->render(camera, false);
    }
    state.counters["logic_ms"] =
        benchmark::Counter(logicSeconds * 1000, benchmark::Counter::kAvgIterations);
}

}  // namespace

int main(int argc, char** argv) {
    BenchWindow window;
    benchmark::RegisterBenchmark("LoadCloudScene/old", loadCloud, OLD)->Iterations(1)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("LoadCloudScene/new", loadCloud, NEW)->Iterations(3)->Unit(benchmark::kMillisecond);
    for (auto const& [name, path] : {std::pair<std::string, std::string>{"DemoScene", SCENE_PATH},
                                     {"CloudScene", cloudScenePath()}}) {
        benchmark::RegisterBenchmark((name + "Frame/old").c_str(), frames, path, OLD)
            ->MinTime(3)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((name + "Frame/new").c_str(), frames, path, NEW)
            ->MinTime(3)->Unit(benchmark::kMillisecond);
    }
    return runBenchmarksWithRatios(argc, argv);
}
