// A block world (672 x 672 terrain columns of up to 35 blocks, trees, plants
// and clouds: tools/terrain-world.h, seed 1) loaded as the game loads it, on
// a hidden window without multisampling: the time to the first frame and the
// peak of resident memory up to it; then frames from the start view (eye
// above the middle column, looking along -z) and along a walk of eight
// places, at 800 x 450 and 1920 x 1080, with the boxes baked as one merged
// surface a chunk ("merged", the game's way) and face by face ("each-face",
// as before, the reference), and at 800 x 450 merged in the rich looks
// with the sun's shadows and without ("rich", "rich-unshadowed"; along the
// walk every frame draws the whole shadow map again, the worst case) and
// along a stroll at walking speed, in milliseconds and in floor frames: the
// frame of one box filling the view, measured in the same run; and what
// the rich looks cost against the plain ones, in the same run and frame by
// frame ("plain_frames"). Run from the project folder.
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
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

// Where the frames are seen from, each looking along -z: the start view;
// a walk of eight places 40 units apart, one a frame, each so far from the
// last that the shadow map is drawn whole again; or a stroll at the
// player's speed at 30 frames a second, 240 units there and back.
enum class Route { START, WALK, STROLL };

std::vector<raylib::Camera3D> views(World const& world, Route route) {
    float const step = route == Route::STROLL ? MOVE_SPEED / 30 : 40.0f;
    int const places = route == Route::START ? 1 : route == Route::WALK ? 8 : static_cast<int>(240 / step);
    std::vector<raylib::Camera3D> cameras;
    for (int i = 0; i < places; ++i) {
        float const z = 0.5f - step * i;
        raylib::Vector3 const eye{0.5f, groundAt(world, 0.5f, z) + 1.6f, z};
        cameras.push_back(cameraAt(eye, {eye.x, eye.y, eye.z - 1}, FIELD_OF_VIEW));
    }
    if (route == Route::STROLL) cameras.insert(cameras.end(), cameras.rbegin(), cameras.rend());
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
        raylib::Camera3D const camera = views(*load.world, Route::START).front();
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
// In the rich looks, each also after the same view in the plain looks by a
// third renderer: their ratio is what the looks cost, measured frame by
// frame, which a machine busy with something else barely changes.
void frames(benchmark::State& state, Route route, std::string const& path) {
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
    bool const rich = path.starts_with("rich");
    renderer.setRichLooks(rich);
    renderer.shadows = path == "rich";
    renderer.scene.bakingBudget = 0;
    std::optional<Renderer> plain;
    if (rich) plain.emplace().scene.bakingBudget = 0;
    std::vector<raylib::Camera3D> const cameras = views(*terrain, route);
    raylib::Camera3D const floorCamera = startCamera();
    // The corners along the route shaded first (the game does it once a
    // chunk, a few milliseconds a frame): the frames measure the drawing.
    for (auto const& camera : cameras) renderer.scene.bakeDue(*terrain, camera.position);
    for (int i = 0; i < 2; ++i) {
        drawFrame(renderer, *terrain, cameras.front());
        if (plain) drawFrame(*plain, *terrain, cameras.front());
    }
    drawFrame(floorRenderer, *floorWorld, floorCamera);
    double seconds = 0, floorSeconds = 0, plainSeconds = 0;
    size_t at = 0;
    double drawn = 0;
    for (auto _ : state) {
        raylib::Camera3D const& camera = cameras[at++ % cameras.size()];
        state.PauseTiming();
        floorSeconds += drawFrame(floorRenderer, *floorWorld, floorCamera);
        if (plain) plainSeconds += drawFrame(*plain, *terrain, camera);
        state.ResumeTiming();
        seconds += drawFrame(renderer, *terrain, camera);
        drawn += static_cast<double>(renderer.scene.trianglesDrawn());
    }
    state.counters["floor_frames"] = seconds / floorSeconds;
    if (plain) state.counters["plain_frames"] = seconds / plainSeconds;
    state.counters["render_width"] = raylib::GetRenderWidth();
    state.counters["triangles"] = static_cast<double>(renderer.scene.triangles());
    state.counters["drawn"] = drawn / static_cast<double>(std::max<size_t>(at, 1));
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
        for (auto const& [route, routeName] :
             {std::pair{Route::START, "start"}, {Route::WALK, "walk"}, {Route::STROLL, "stroll"}}) {
            std::vector<std::string> paths{"merged", "each-face"};
            if (width == 800) paths.insert(paths.end(), {"rich", "rich-unshadowed"});
            if (route == Route::STROLL && width != 800) continue;
            for (std::string const& path : paths) {
                std::string const name = "Frame/" + size + "/" + routeName + "/" + path;
                benchmark::RegisterBenchmark(name.c_str(), frames, route, path)
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
