// A block world (672 x 672 terrain columns of up to 35 blocks, trees, plants
// and clouds: tools/terrain-world.h, seed 1) loaded as the game loads it, on
// a hidden window without multisampling: the time to the first frame and the
// peak of resident memory up to it; then frames from the start view (eye
// above the middle column, looking along -z) and along a walk of eight
// places, at 800 x 450 and 1920 x 1080, with the boxes baked as one merged
// surface a chunk ("merged", the game's way) and face by face ("each-face",
// as before, the reference), and at 800 x 450 merged in the rich looks
// with the sun's shadows and without ("rich", "rich-unshadowed"; along the
// walk every frame draws the shadow map again, the game only when the
// camera enters another cell), in milliseconds and in floor frames: the
// frame of one box filling the view, measured in the same run; and what
// the rich looks cost against the plain ones. Run from the project folder.
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench-measures.h"
#include "bench-window.h"
#include "game-loop.h"
#include "loading-screen.h"
#include "log-capture.h"
#include "ratio-reporter.h"
#include "scene-loader.h"
#include "terrain-world.h"

namespace {

std::string const SCENE = (std::filesystem::temp_directory_path() / "tessarine-terrain.txt").string();
std::shared_ptr<World> terrain, floorWorld;

// The height of what stands at (x, z): the eye goes 1.6 above it.
float groundAt(World const& world, float x, float z) {
    AABB column;
    column.min = {x - 0.01f, -1, z - 0.01f};
    column.max = {x + 0.01f, 60, z + 0.01f};
    float top = 0;
    for (auto const& entity : world.intersector->findAllIntersections(column))
        top = std::max(top, entity->getAABB().max.y);
    return top;
}

// The start view, or the eight places of the walk, each looking along -z.
std::vector<raylib::Camera3D> views(World const& world, bool walk) {
    std::vector<raylib::Camera3D> cameras;
    for (int i = 0; i < (walk ? 8 : 1); ++i) {
        float const z = 0.5f - 30.0f * i;
        raylib::Vector3 const eye{0.5f, groundAt(world, 0.5f, z) + 1.6f, z};
        cameras.push_back(cameraAt(eye, {eye.x, eye.y, eye.z - 1}, FIELD_OF_VIEW));
    }
    return cameras;
}

void firstFrame(benchmark::State& state) {
    LogCapture quiet;
    for (auto _ : state) {
        resetPeak();
        auto const start = Clock::now();
        auto const player = std::make_shared<Player>();
        LoadingScreen screen;
        SceneLoad const load = loadShowingProgress(screen, SCENE, player, {});
        if (!load.world) {
            state.SkipWithError(load.report().c_str());
            return;
        }
        double const loaded = secondsSince(start);
        Renderer renderer;
        renderer.scene.bakingBudget = FRAME_BAKING_SECONDS;
        raylib::Camera3D const camera = views(*load.world, false).front();
        bakeShowingProgress(screen, renderer, *load.world, camera.position);
        drawFrame(renderer, *load.world, camera);
        state.SetIterationTime(secondsSince(start));
        state.counters["read_and_indexed_s"] = loaded;
        state.counters["peak_first_MB"] = statusBytes("VmHWM") / 1e6;
        terrain = load.world;
    }
}

// Frames of the views, each after a frame of the floor drawn by another
// renderer: the ratio of the two sums is the frames' cost in floor frames.
void frames(benchmark::State& state, bool walk, std::string const& path) {
    if (!terrain) {
        // Loaded here when the first frame was not measured.
        LogCapture quiet;
        terrain = loadWorld(SCENE, std::make_shared<Player>()).world;
    }
    if (!terrain) {
        state.SkipWithError("the world did not load");
        return;
    }
    Renderer renderer, floorRenderer;
    renderer.scene.mergedFaces = path != "each-face";
    renderer.setRichLooks(path.starts_with("rich"));
    renderer.shadows = path == "rich";
    renderer.scene.bakingBudget = 0;
    std::vector<raylib::Camera3D> const cameras = views(*terrain, walk);
    raylib::Camera3D const floorCamera = startCamera();
    for (auto const& camera : cameras) drawFrame(renderer, *terrain, camera), drawFrame(renderer, *terrain, camera);
    drawFrame(floorRenderer, *floorWorld, floorCamera);
    double seconds = 0, floorSeconds = 0;
    size_t at = 0;
    for (auto _ : state) {
        state.PauseTiming();
        floorSeconds += drawFrame(floorRenderer, *floorWorld, floorCamera);
        state.ResumeTiming();
        seconds += drawFrame(renderer, *terrain, cameras[at++ % cameras.size()]);
    }
    state.counters["floor_frames"] = seconds / floorSeconds;
    state.counters["render_width"] = raylib::GetRenderWidth();
    state.counters["triangles"] = static_cast<double>(renderer.scene.triangles());
    state.counters["mesh_MiB"] = static_cast<double>(renderer.scene.meshBytes()) / (1 << 20);
}

}  // namespace

int main(int argc, char** argv) {
    {
        std::ofstream out(SCENE);
        writeTerrainScene(out, TerrainShape{});
    }
    BenchWindow window(false);
    {
        LogCapture quiet;
        floorWorld =
            loadWorldFromText("rect (-6, 2.2, 4), (1, 200, 200), gray\n", "floor", std::make_shared<Player>()).world;
    }
    benchmark::RegisterBenchmark("FirstFrame", firstFrame)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
    for (auto const& [width, height] : {std::pair{800, 450}, {1920, 1080}}) {
        std::string const size = std::to_string(width) + "x" + std::to_string(height);
        benchmark::RegisterBenchmark(("Resize/" + size).c_str(), resize, width, height)->Iterations(10);
        for (bool const walk : {false, true}) {
            std::vector<std::string> paths{"merged", "each-face"};
            if (width == 800) paths.insert(paths.end(), {"rich", "rich-unshadowed"});
            for (std::string const& path : paths) {
                std::string const name = "Frame/" + size + (walk ? "/walk/" : "/start/") + path;
                benchmark::RegisterBenchmark(name.c_str(), frames, walk, path)
                    ->MinTime(3)
                    ->Unit(benchmark::kMillisecond);
            }
        }
    }
    int const status =
        runBenchmarksWithRatios(argc, argv, "each-face", {{"rich", "merged"}, {"rich-unshadowed", "merged"}});
    terrain.reset();
    floorWorld.reset();
    std::filesystem::remove(SCENE);
    return status;
}
