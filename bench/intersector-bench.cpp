// Cost of one player move against the reference collision index, in worlds
// of growing size.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "aabox.h"
#include "intersector-naive-impl.h"
#include "player.h"

namespace {

std::shared_ptr<Intersector> voxelWorld(int count) {
    auto index = std::make_shared<IntersectorNaiveImpl>();
    index->addEntity(std::make_shared<AABox>(raylib::Vector3{0, -0.5f, 0}, raylib::Vector3{200, 1, 200},
                                             raylib::Color{130, 130, 130, 255}));
    srand(31998);
    for (int i = 1; i < count; ++i) {
        raylib::Vector3 const position{static_cast<float>(rand() % 200 - 100), static_cast<float>(rand() % 20 + 3),
                                       static_cast<float>(rand() % 200 - 100)};
        index->addEntity(std::make_shared<AABox>(position, raylib::Vector3{0.5f, 0.5f, 0.5f},
                                                 raylib::Color{0, 0, 0, 255}));
    }
    return index;
}

void BM_PlayerMoveNaive(benchmark::State& state) {
    auto const index = voxelWorld(static_cast<int>(state.range(0)));
    Player player;
    for (int i = 0; i < 300; ++i) player.move(player.position, index);
    float step = 0.01f;
    for (auto _ : state) {
        player.move({player.position.x + step, player.position.y, player.position.z}, index);
        step = -step;
    }
}
BENCHMARK(BM_PlayerMoveNaive)->RangeMultiplier(10)->Range(1000, 100000);

}  // namespace

BENCHMARK_MAIN();
