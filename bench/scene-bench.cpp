// Whole frames of scenes, drawn by the scene renderer ("baked": chunks
// without hidden faces, only those in view, nearest first) and by the plain
// path ("plain": every entity drawn on its own), on a hidden window with 4x
// multisampling, at 800 x 450 and at 1920 x 1080. Each frame is also given
// in floor frames: the frame of one box filling the view, the least a frame
// can cost, measured in the same run. The rich looks are also given against
// the baked plain frame of the same scene, drawn frame by frame in the same
// run ("plain_frames"). Run from the project folder.
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "bench-measures.h"
#include "bench-window.h"
#include "game-loop.h"
#include "game.h"
#include "log-capture.h"
#include "model-entity.h"
#include "ratio-reporter.h"
#include "renderer.h"
#include "scene-loader.h"

namespace {

// The scenes, seen from the start position.
std::map<std::string, std::string> const SCENES = {
    {"1-floor", "rect (-6, 2.2, 4), (1, 200, 200), gray\n"},
    {"2-demo", ""},
    {"3-dense-cloud", "voxels_cloud_huge (-150, 10, 0), (250, 25, 250), 1\n"},
    {"4-sparse-cloud", "voxels_cloud_huge (-150, 10, 0), (250, 25, 250), 0.2\n"},
    {"5-building", ""},
    // Clouds of small voxels so far away that their chunks are drawn coarse.
    {"6-far-clouds",
     "voxels_cloud (-30, 2.2, 4), (1, 1, 1), 1\nvoxels_cloud (-40, 3, 0), (1, 1, 1), 1\n"
     "voxels_cloud (-50, 2, 8), (1, 1, 1), 1\n"},
};

std::shared_ptr<World> load(std::string const& name) {
    LogCapture quiet;
    auto const player = std::make_shared<Player>();
    if (name == "2-demo") return loadWorld(SCENE_PATH, player).world;
    if (name == "5-building") return loadWorld("assets/scenes/building/building.txt", player).world;
    return loadWorldFromText(SCENES.at(name), name, player).world;
}

// What a model's mesh takes on the GPU: a position, a normal and a
// colour a vertex, three 16-bit indices a triangle.
size_t gpuBytes(raylib::Mesh const& mesh) {
    constexpr size_t VERTEX_BYTES = 3 * sizeof(float) + 3 * sizeof(float) + 4;
    constexpr size_t TRIANGLE_BYTES = 3 * sizeof(unsigned short);
    return static_cast<size_t>(mesh.vertexCount) * VERTEX_BYTES +
           static_cast<size_t>(mesh.triangleCount) * TRIANGLE_BYTES;
}

// The GPU size of the meshes of a world's models, each model once.
size_t modelBytes(World const& world) {
    struct Models : EntityVisitor {
        std::set<LoadedModel const*> loaded;
        void visitModel(ModelEntity const& model) override { loaded.insert(model.loaded.get()); }
    } models;
    for (auto const& entity : world.intersector->entityList()) entity->accept(models);
    for (auto const& entity : world.drawnOnly) entity->accept(models);
    size_t bytes = 0;
    for (LoadedModel const* model : models.loaded) {
        for (int i = 0; i < model->model.meshCount; ++i) bytes += gpuBytes(model->model.meshes[i]);
    }
    return bytes;
}

// Frames of the world, each after a frame of the floor scene drawn by
// another renderer: a frame's cost in floor frames is the ratio of the two
// sums, which a machine busy with something else changes far less than
// either time.
void frames(benchmark::State& state, World* world, World* floorWorld, std::string const& path) {
    Renderer renderer, floorRenderer;
    std::optional<Renderer> plain;
    if (path.starts_with("rich")) plain.emplace();
    renderer.scene.bakedBoxes = path != "plain";
    renderer.scene.coarseFarChunks = path != "baked-fine";
    renderer.setRichLooks(path.starts_with("rich"));
    renderer.shadows = path == "rich";
    raylib::Camera3D const camera = startCamera();
    auto const frame = [&](Renderer& by, World const& drawn) {
        auto const start = std::chrono::steady_clock::now();
        raylib::BeginDrawing();
        by.drawFrame(drawn, camera, false);
        raylib::EndDrawing();
        glFinish();
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    for (int i = 0; i < 3; ++i) {  // the first bakes
        frame(renderer, *world), frame(floorRenderer, *floorWorld);
        if (plain) frame(*plain, *world);
    }
    double seconds = 0, floorSeconds = 0, plainSeconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        floorSeconds += frame(floorRenderer, *floorWorld);
        if (plain) plainSeconds += frame(*plain, *world);
        state.ResumeTiming();
        seconds += frame(renderer, *world);
    }
    state.counters["floor_frames"] = seconds / floorSeconds;
    if (plain) state.counters["plain_frames"] = seconds / plainSeconds;
    state.counters["triangles"] = static_cast<double>(renderer.scene.triangles());
    state.counters["drawn_triangles"] = static_cast<double>(renderer.scene.trianglesDrawn());
    state.counters["mesh_MiB"] = static_cast<double>(renderer.scene.meshBytes() + modelBytes(*world)) / (1 << 20);
}

}  // namespace

int main(int argc, char** argv) {
    BenchWindow window;
    std::map<std::string, std::shared_ptr<World>> worlds;
    for (auto const& [name, text] : SCENES) worlds[name] = load(name);
    for (auto const& [width, height] : {std::pair{800, 450}, {1920, 1080}}) {
        std::string const size = std::to_string(width) + "x" + std::to_string(height);
        benchmark::RegisterBenchmark(("Resize/" + size).c_str(), resize, width, height)->Iterations(10);
        for (auto const& [name, world] : worlds) {
            // Far chunks drawn coarse, or face by face as every near one;
            // the demo in the rich looks too, with the sun's shadows and
            // without.
            std::vector<std::string> paths{"baked", "plain"};
            if (name == "6-far-clouds") paths.emplace_back("baked-fine");
            if (name == "2-demo") paths.insert(paths.end(), {"rich", "rich-unshadowed"});
            for (std::string const& path : paths) {
                benchmark::RegisterBenchmark(("Frame/" + size + "/" + name + "/" + path).c_str(), frames, world.get(),
                                             worlds.at("1-floor").get(), path)
                    ->MinTime(2)
                    ->Unit(benchmark::kMillisecond);
            }
        }
    }
    return runBenchmarksWithRatios(argc, argv, "plain", {{"rich", "baked"}, {"rich-unshadowed", "baked"}});
}
