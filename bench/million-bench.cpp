// Worlds of a million and of ten million voxels: a floor and clouds of
// 100000 huge voxels side by side, loaded as the game loads them (read and
// indexed on a worker thread under the loading screen, the chunks around
// the player built, the first frame drawn) on a hidden 800 x 450 window with
// 4x multisampling. For each: the time to the first frame, and to the world
// read and indexed and its chunks around the player built; the longest the
// loading screen went without being drawn again; the peak of resident
// memory up to the first frame, and once every chunk is built and drawn;
// the bytes a voxel takes in the index and in the meshes; and a frame from
// the start and from a place that looks along the clouds. The ten million's
// frames are then given in the million's. Run from the project folder.
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "bench-measures.h"
#include "bench-window.h"
#include "game-loop.h"
#include "loading-screen.h"
#include "log-capture.h"

namespace {

std::string sceneOfClouds(int clouds) {
    std::string const path =
        (std::filesystem::temp_directory_path() / ("tessarine-" + std::to_string(clouds) + "-clouds.txt")).string();
    std::ofstream scene(path);
    scene << "rect (0, -0.5, 0), (90, 1, 90), green\n";
    for (int i = 0; i < clouds; ++i)
        scene << "voxels_cloud_huge (" << 60 + 110 * i << ", 30, 0), (100, 50, 625), 0.5\n";
    return path;
}

double medianFrame(Renderer& renderer, World const& world, raylib::Camera3D const& camera) {
    std::vector<double> frames;
    for (int i = 0; i < 3; ++i) drawFrame(renderer, world, camera);  // occlusion settles
    for (int i = 0; i < 31; ++i) frames.push_back(drawFrame(renderer, world, camera));
    std::nth_element(frames.begin(), frames.begin() + 15, frames.end());
    return frames[15];
}

// The frames of each world, by view, to compare them.
std::map<int, std::map<std::string, double>> framesOf;

void loadAndPlay(benchmark::State& state, int clouds) {
    std::string const path = sceneOfClouds(clouds);
    LogCapture quiet;
    for (auto _ : state) {
        resetPeak();
        double const before = statusBytes("VmRSS");
        auto const start = Clock::now();
        auto const player = std::make_shared<Player>();
        ModelCache models;
        LoadingScreen screen;
        SceneLoad const load = loadShowingProgress(screen, path, player, {.models = &models});
        if (!load.world) {
            state.SkipWithError(load.report().c_str());
            return;
        }
        World const& world = *load.world;
        double const loaded = secondsSince(start);
        double const indexBytes = statusBytes("VmRSS") - before;
        Renderer renderer;
        renderer.scene.bakingBudget = FRAME_BAKING_SECONDS;
        raylib::Camera3D const camera = startCamera();
        bakeShowingProgress(screen, renderer, world, camera.position);
        double const built = secondsSince(start);
        drawFrame(renderer, world, camera);
        double const firstFrame = secondsSince(start);
        state.SetIterationTime(firstFrame);
        double const firstPeak = statusBytes("VmHWM");

        renderer.scene.bakingBudget = 0;
        drawFrame(renderer, world, camera);
        double const voxels = world.intersector->size() - 1.0;
        raylib::Camera3D const alongClouds = cameraAt({-20, 45, -20}, {60, 30, 0}, FIELD_OF_VIEW);
        framesOf[clouds] = {{"start", medianFrame(renderer, world, camera)},
                            {"along_clouds", medianFrame(renderer, world, alongClouds)}};
        state.counters["first_frame_s"] = firstFrame;
        state.counters["read_and_indexed_s"] = loaded;
        state.counters["around_built_s"] = built;
        state.counters["longest_redraw_ms"] = 1000 * screen.longestGap();
        state.counters["peak_first_MB"] = firstPeak / 1e6;
        state.counters["peak_all_MB"] = statusBytes("VmHWM") / 1e6;
        state.counters["index_B_per_voxel"] = indexBytes / voxels;
        state.counters["mesh_B_per_voxel"] = static_cast<double>(renderer.scene.meshBytes()) / voxels;
        for (auto const& [view, seconds] : framesOf[clouds]) state.counters["frame_ms_" + view] = 1000 * seconds;
    }
    std::filesystem::remove(path);
}

}  // namespace

int main(int argc, char** argv) {
    BenchWindow window;
    benchmark::Initialize(&argc, argv);
    for (int const clouds : {10, 100}) {
        benchmark::RegisterBenchmark(("FirstFrame/" + std::to_string(clouds) + "00000-voxels").c_str(), loadAndPlay,
                                     clouds)
            ->Iterations(1)
            ->UseManualTime()
            ->Unit(benchmark::kSecond);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (framesOf.count(10) && framesOf.count(100)) {
        std::printf("\nA frame of ten million voxels in frames of one million, from the same place:\n");
        for (auto const& [view, seconds] : framesOf[100]) {
            std::printf("  %-14s %6.2f\n", view.c_str(), seconds / framesOf[10][view]);
        }
    }
    return 0;
}
