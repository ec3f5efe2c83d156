// Long play: ten minutes of generated input (a fixed seed; walking, turning,
// looking up and down, resets, and the scene read again every minute),
// replayed through the game's own frame loop on the demo scene and on a
// scene of 100000 voxels, on a hidden window. Reports the resident memory
// before and after the ten minutes, how much it grew, and the frames a
// second.
//
// The ten minutes are played twice, and measured the second time: the
// OpenGL driver keeps working memory sized for the largest frame drawn so
// far, so the first pass grows by what the heaviest view needs, once. What
// the game itself kept would grow again in the second pass.
//
// Run from the project folder, on an X display.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>

#include "bench-window.h"
#include "game-loop.h"
#include "game.h"
#include "scene-loader.h"
#include "world-digest.h"

namespace {

constexpr int FRAMES_PER_SECOND = 60;
constexpr int MINUTES = 10;

// Ten minutes of walking about, the same on every run.
Recording generatedPlay(std::string const& scenePath) {
    std::mt19937 random(31998);
    auto const pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    Recording play{scenePath, 0, {}};
    int const frames = MINUTES * 60 * FRAMES_PER_SECOND;
    while (static_cast<int>(play.frames.size()) < frames) {
        FrameInput leg;
        leg.forward = static_cast<float>(pick(4) == 0 ? -1 : pick(5) == 0 ? 0 : 1);
        leg.side = static_cast<float>(pick(3) - 1);
        leg.mouse = {static_cast<float>(pick(41) - 20), static_cast<float>(pick(5) - 2)};
        leg.keys.reset = pick(20) == 0;
        for (int i = 30 + pick(210); i > 0 && static_cast<int>(play.frames.size()) < frames; --i) {
            FrameInput frame = leg;
            frame.frameTime = (0.9f + 0.2f * static_cast<float>(pick(100)) / 100) / FRAMES_PER_SECOND;
            frame.reload = play.frames.size() % (60 * FRAMES_PER_SECOND) == 0;
            play.frames.push_back(frame);
        }
    }
    return play;
}

// Resident memory once the allocator has given back what it holds free: a
// heap kept after a reload is not memory the game still uses.
double residentMiB() {
    malloc_trim(0);
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024;
    }
    return 0;
}

// Sends the log nowhere while it lives: kept in memory, as a capture keeps
// it, it would grow with every reload.
class DiscardedLog {
public:
    DiscardedLog() : saved(std::clog.rdbuf(nowhere.rdbuf())) {}
    ~DiscardedLog() { std::clog.rdbuf(saved); }

private:
    std::ofstream nowhere{"/dev/null"};
    std::streambuf* saved;
};

void soak(benchmark::State& state, std::string const& scenePath) {
    DiscardedLog quiet;
    Recording const recording = generatedPlay(scenePath);
    for (auto _ : state) {
        auto const player = std::make_shared<Player>();
        std::shared_ptr<World> world = loadWorld(scenePath, player).world;
        play(world, player, {.scenePath = scenePath, .replay = &recording});
        double const start = residentMiB();
        auto const began = std::chrono::steady_clock::now();
        PlayResult const played = play(world, player, {.scenePath = scenePath, .replay = &recording});
        double const seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
        double const end = residentMiB();
        state.counters["frames"] = played.frames;
        state.counters["fps"] = played.frames / seconds;
        state.counters["rss_start_MiB"] = start;
        state.counters["rss_end_MiB"] = end;
        state.counters["rss_growth_percent"] = 100 * (end - start) / start;
    }
}

}  // namespace

int main(int argc, char** argv) {
    BenchWindow window;
    std::string const cloud = (std::filesystem::temp_directory_path() / "tessarine-soak-cloud.txt").string();
    std::ofstream(cloud) << "rect (0, -0.5, 0), (90, 1, 90), green\nvoxels_cloud (0, 3, -40), (2.5, 0.25, 2.5), 1\n";
    benchmark::RegisterBenchmark("Soak/demo-scene", soak, std::string(SCENE_PATH))
        ->Iterations(1)
        ->Unit(benchmark::kSecond);
    benchmark::RegisterBenchmark("Soak/100k-voxels", soak, cloud)->Iterations(1)->Unit(benchmark::kSecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
