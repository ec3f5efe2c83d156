// One player move in worlds of growing size: the full scan of the reference
// index (old) against the grid index (new).
#include <benchmark/benchmark.h>

#include <random>

#include "aabox.h"
#include "intersector-grid-impl.h"
#include "intersector-naive-impl.h"
#include "player.h"
#include "ratio-reporter.h"

namespace {

// A floor, and voxels of half a unit scattered over a square that grows with
// their number, so the density around the player stays about the same.
template <typename Index>
std::shared_ptr<Intersector> voxelWorld(int count) {
    auto index = std::make_shared<Index>();
    index->addEntity(std::make_shared<AABox>(raylib::Vector3{0, -0.5f, 0}, raylib::Vector3{4000, 1, 4000},
                                             raylib::Color{130, 130, 130, 255}));
    std::mt19937 random(31998);
    float const side = std::sqrt(static_cast<float>(count)) * 2.0f;
    std::uniform_real_distribution<float> across(-side / 2, side / 2), up(0.25f, 6.0f);
    for (int i = 1; i < count; ++i) {
        raylib::Vector3 const position{across(random), up(random), across(random)};
        if (std::abs(position.x) < 3 && std::abs(position.z - 4) < 3) continue;  // keep the start clear
        index->addEntity(std::make_shared<AABox>(position, raylib::Vector3{0.5f, 0.5f, 0.5f},
                                                 raylib::Color{0, 0, 0, 255}));
    }
    return index;
}

template <typename Index>
void playerMove(benchmark::State& state) {
    auto const index = voxelWorld<Index>(static_cast<int>(state.range(0)));
    Player player;
    for (int i = 0; i < 100; ++i) player.move(player.position, index);
    float step = 0.05f;
    for (auto _ : state) {
        player.move({player.position.x + step, player.position.y, player.position.z}, index);
        step = -step;
    }
    state.counters["entities"] = static_cast<double>(index->size());
}

void configure(benchmark::internal::Benchmark* benchmark) {
    benchmark->RangeMultiplier(10)->Range(1000, 1000000)->Unit(benchmark::kMicrosecond);
}

BENCHMARK(playerMove<IntersectorNaiveImpl>)->Name("PlayerMove/old")->Apply(configure);
BENCHMARK(playerMove<IntersectorGridImpl>)->Name("PlayerMove/new")->Apply(configure);

}  // namespace

int main(int argc, char** argv) {
    return runBenchmarksWithRatios(argc, argv);
}
