// The render scale on the software renderer: the recorded walk through the
// demo scene, played as fast as frames can be drawn at 1920 x 1080, at the
// full scale on a window with 4x multisampling (the game's drawing with no
// settings: the reference, "full") and at the automatic scale ("auto"), which
// draws the world into 4x multisampled pixels of its own at a fraction of
// the window's size, stretched to a window without samples, as the game
// opens it for a scaled view. Reports the median frame, the frames a second and the scale the
// automatic one settled on; writes a picture at 100 % and at 50 % into
// build/. Run from the project folder, on an X display of 1920 x 1080.
//
// raylib keeps the flags asked for before one window for every later one:
// the windows without multisampling open first.
#include <benchmark/benchmark.h>

#include <algorithm>

#include "bench-window.h"
#include "game-loop.h"
#include "log-capture.h"
#include "ratio-reporter.h"
#include "scene-loader.h"

namespace {

std::vector<double> frameTimes;

void walk(benchmark::State& state, int renderScale) {
    LogCapture quiet;
    auto const recording = readRecording("tests/recordings/demo-walk.rec");
    Settings settings;
    settings.renderScale = renderScale;
    float settled = 1;
    for (auto _ : state) {
        raylib::SetConfigFlags(raylib::FLAG_WINDOW_HIDDEN | (renderScale == 100 ? raylib::FLAG_MSAA_4X_HINT : 0));
        raylib::InitWindow(1920, 1080, "tessarine benchmark");
        raylib::SetTargetFPS(0);
        auto const player = std::make_shared<Player>();
        std::shared_ptr<World> world = loadWorld(recording->scenePath, player).world;
        frameTimes.clear();
        double last = raylib::GetTime();
        play(world, player,
             {.scenePath = recording->scenePath,
              .replay = &*recording,
              .settings = &settings,
              .afterFrame = [&](Renderer& renderer) {
                  double const now = raylib::GetTime();
                  frameTimes.push_back(now - last);
                  last = now;
                  settled = renderer.renderScale();
              }});
        world.reset();
        raylib::CloseWindow();
    }
    std::sort(frameTimes.begin(), frameTimes.end());
    double const median = frameTimes[frameTimes.size() / 2];
    state.counters["median_frame_ms"] = median * 1000;
    state.counters["frames_a_second"] = 1 / median;
    state.counters["scale_percent"] = settled * 100;
}

// One frame of the demo scene from the start, at the scale given, written,
// on a window with multisampling at the full scale, as the game opens it.
void picture(float scale, char const* path) {
    raylib::SetConfigFlags(raylib::FLAG_WINDOW_HIDDEN | (scale < 1 ? 0 : raylib::FLAG_MSAA_4X_HINT));
    raylib::InitWindow(800, 450, "tessarine picture");
    {
        LogCapture quiet;
        auto const world = loadWorld(SCENE_PATH, std::make_shared<Player>()).world;
        Renderer renderer;
        renderer.setRenderScale(scale);
        renderer.multisampling = true;
        raylib::BeginDrawing();
        renderer.drawFrame(*world, startCamera(), false);
        renderer.finish();
        raylib::Image const image = raylib::LoadImageFromScreen();
        raylib::EndDrawing();
        raylib::ExportImage(image, path);
        raylib::UnloadImage(image);
    }
    raylib::CloseWindow();
}

}  // namespace

int main(int argc, char** argv) {
    raylib::SetTraceLogLevel(raylib::LOG_WARNING);
    picture(0.5f, "build/render-scale-50.png");
    benchmark::RegisterBenchmark("DemoWalk/1920x1080/auto", walk, 0)->Iterations(1)->Unit(benchmark::kSecond);
    benchmark::RegisterBenchmark("DemoWalk/1920x1080/full", walk, 100)->Iterations(1)->Unit(benchmark::kSecond);
    int const status = runBenchmarksWithRatios(argc, argv, "full");
    picture(1.0f, "build/render-scale-100.png");
    return status;
}
