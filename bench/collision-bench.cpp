// The collision index in worlds of boxes of every size: loading clouds of
// small and huge voxels, registering wide boxes, and one player move among
// them. Each world is measured with the full scan of the reference index
// ("naive") and with the R-tree of the game ("tree"), in the same run.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <iostream>
#include <map>
#include <random>
#include <sstream>

#include "aabox.h"
#include "intersector-naive-impl.h"
#include "intersector-tree-impl.h"
#include "player.h"
#include "ratio-reporter.h"
#include "scene-loader.h"

namespace {

using Entities = std::vector<std::shared_ptr<Entity>>;

constexpr raylib::Color BOX_COLOR{130, 130, 130, 255};

std::shared_ptr<Entity> box(raylib::Vector3 position, raylib::Vector3 size) {
    return std::make_shared<AABox>(position, size, BOX_COLOR);
}

// A floor under the player, and `count` boxes of the given size scattered
// over a square of the given side, at heights between low and high.
Entities scattered(int count, raylib::Vector3 size, float side, float low, float high) {
    std::mt19937 random(31998);
    std::uniform_real_distribution<float> across(-side / 2, side / 2), up(low, high);
    Entities boxes{box({0, -0.5f, 0}, {2 * side, 1, 2 * side})};
    while (static_cast<int>(boxes.size()) <= count) {
        raylib::Vector3 const position{across(random), up(random), across(random)};
        // The start is kept clear, so the player stands on the floor.
        if (std::abs(position.x) < size.x / 2 + 3 && std::abs(position.z - 4) < size.z / 2 + 3 &&
            position.y - size.y / 2 < 3 && position.y + size.y / 2 > -0.5f)
            continue;
        boxes.push_back(box(position, size));
    }
    return boxes;
}

// The floor of a million unit tiles, with 10^5 slabs 40 units wide deep below.
Entities tilesAndSlabs() {
    Entities world;
    for (int x = -500; x < 500; ++x)
        for (int z = -500; z < 500; ++z) world.push_back(box({x + 0.5f, -0.5f, z + 0.5f}, {1, 1, 1}));
    Entities const slabs = scattered(100000, {40, 1, 40}, 1000, -1000, -10);
    world.insert(world.end(), slabs.begin() + 1, slabs.end());
    return world;
}

// Adds every entity on its own, as a scene's rectangles are added, and asks
// one question, which brings an index up to date.
template <typename Index>
std::shared_ptr<Intersector> indexOf(Entities const& entities) {
    auto index = std::make_shared<Index>();
    for (auto const& entity : entities) index->addEntity(entity);
    index->isEmpty(AABB({0, 0, 0}, {1, 1, 1}));
    return index;
}

size_t heapInUse() {
    return mallinfo2().uordblks;
}

// One player move, back and forth along x; the counters give the entities
// and the index's own memory per entity.
template <typename Index>
void move(benchmark::State& state, Entities const& world) {
    size_t const before = heapInUse();
    auto const index = indexOf<Index>(world);
    size_t const after = heapInUse();
    Player player;
    for (int i = 0; i < 100; ++i) player.move(player.position, index);
    float step = 0.05f;
    for (auto _ : state) {
        player.move({player.position.x + step, player.position.y, player.position.z}, index);
        step = -step;
    }
    state.counters["entities"] = static_cast<double>(world.size());
    state.counters["index_bytes_per_entity"] = static_cast<double>(after - before) / static_cast<double>(world.size());
}

template <typename Index>
void registerAll(benchmark::State& state, Entities const& world) {
    for (auto _ : state) benchmark::DoNotOptimize(indexOf<Index>(world));
    state.counters["entities"] = static_cast<double>(world.size());
}

// Loads a scene of one cloud, and asks one question.
template <typename Index>
void loadCloud(benchmark::State& state, std::string const& scene) {
    WorldOptions const index{.fastIndex = std::is_same_v<Index, IntersectorTreeImpl>};
    for (auto _ : state) {
        auto const player = std::make_shared<Player>();
        auto const world = loadWorldFromText(scene, "cloud", player, {.world = index}).world;
        benchmark::DoNotOptimize(world->intersector->isEmpty(player->getAABB()));
        state.counters["entities"] = world->intersector->size();
    }
}

// The worlds every index is measured in, built once.
struct Worlds {
    Entities wide = scattered(100000, {100, 2, 100}, 10000, -300, 300);
    Entities tiles = tilesAndSlabs();
    // Half-unit voxels over a square that grows with their number, so the
    // density around the player stays about the same.
    std::map<int, Entities> voxels;
    Worlds() {
        for (int count = 1000; count <= 1000000; count *= 10) {
            voxels[count] = scattered(count, {0.5f, 0.5f, 0.5f}, std::sqrt(static_cast<float>(count)) * 2, 0.25f, 6);
        }
    }
};

template <typename Index>
void registerFor(Worlds const& worlds, std::string const& path) {
    auto const unit = benchmark::kMillisecond;
    benchmark::RegisterBenchmark(("LoadCloud/small/" + path).c_str(), loadCloud<Index>,
                                 "voxels_cloud (0, 3, -40), (2.5, 0.25, 2.5), 1")
        ->Unit(unit);
    benchmark::RegisterBenchmark(("LoadCloud/huge/" + path).c_str(), loadCloud<Index>,
                                 "voxels_cloud_huge (0, -400, 0), (250, 25, 250), 1")
        ->Unit(unit);
    benchmark::RegisterBenchmark(("RegisterWide/" + path).c_str(), registerAll<Index>, worlds.wide)->Unit(unit);
    benchmark::RegisterBenchmark(("MoveAmongWide/" + path).c_str(), move<Index>, worlds.wide)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("MoveOnTilesOverSlabs/" + path).c_str(), move<Index>, worlds.tiles)
        ->Unit(benchmark::kMicrosecond);
    for (auto const& [count, voxels] : worlds.voxels) {
        benchmark::RegisterBenchmark(("MoveAmongVoxels/" + std::to_string(count) + "/" + path).c_str(), move<Index>,
                                     voxels)
            ->Unit(benchmark::kMicrosecond);
    }
}

}  // namespace

int main(int argc, char** argv) {
    raylib::SetTraceLogLevel(raylib::LOG_WARNING);
    std::clog.setstate(std::ios::failbit);  // the models' and clouds' log lines
    Worlds const worlds;
    registerFor<IntersectorNaiveImpl>(worlds, "naive");
    registerFor<IntersectorTreeImpl>(worlds, "tree");
    return runBenchmarksWithRatios(argc, argv, "naive");
}
