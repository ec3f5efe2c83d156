// The collision indexes: the reference scan, and the grid against it over
// many random worlds and queries.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "intersector-grid-impl.h"
#include "intersector-naive-impl.h"
#include "test-entities.h"

namespace {

using Entities = std::vector<std::shared_ptr<Entity>>;

// The queries are layered through the virtual interface: overriding
// findAllIntersections alone changes findIntersection and both isEmpty.
class EverythingOverlaps : public IntersectorNaiveImpl {
public:
    Entities findAllIntersections(AABB const&) const override { return getEntities(); }
};

TEST(IntersectorNaiveImpl, QueriesGoThroughTheVirtualInterface) {
    EverythingOverlaps index;
    auto far = fixedBox({10, 10, 10}, {11, 11, 11});
    index.addEntity(far);
    AABB const query = cornerBox({0, 0, 0}, {1, 1, 1});
    EXPECT_EQ(index.findIntersection(query), far);
    EXPECT_FALSE(index.isEmpty(std::make_shared<AABB>(query)));
}


class BoxMaker {
public:
    explicit BoxMaker(unsigned seed) : random(seed) {}

    // Corners from a coarse lattice (so boxes touch exactly), fine random
    // values, tiny and huge extents, with some inverted, NaN and infinite.
    AABB box() {
        raylib::Vector3 min{coordinate(), coordinate(), coordinate()};
        raylib::Vector3 max{min.x + extent(), min.y + extent(), min.z + extent()};
        float* low[3] = {&min.x, &min.y, &min.z};
        float* high[3] = {&max.x, &max.y, &max.z};
        for (int axis = 0; axis < 3; ++axis) {
            int const roll = pick(100);
            if (roll < 8) std::swap(*low[axis], *high[axis]);                        // inverted
            else if (roll < 11) *(pick(2) ? low : high)[axis] = std::nanf("");       // NaN
            else if (roll < 13) *high[axis] = std::numeric_limits<float>::infinity();
            else if (roll < 15) *low[axis] = -std::numeric_limits<float>::infinity();
        }
        return cornerBox(min, max);
    }

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }

private:
    float coordinate() {
        switch (pick(5)) {
        case 0: return std::uniform_real_distribution<float>(-1e6f, 1e6f)(random);
        case 1: return std::uniform_real_distribution<float>(-6, 6)(random);
        default: return static_cast<float>(pick(25) - 12) * 0.5f;
        }
    }
    float extent() {
        switch (pick(6)) {
        case 0: return 1e-6f;
        case 1: return 0.0f;
        case 2: return std::uniform_real_distribution<float>(0, 3)(random);
        case 3: return std::uniform_real_distribution<float>(10, 1e7f)(random);
        default: return static_cast<float>(pick(8)) * 0.5f;
        }
    }

    std::mt19937 random;
};

void expectSameAnswers(Intersector const& reference, Intersector const& grid, AABB const& query) {
    EXPECT_EQ(grid.findAllIntersections(query), reference.findAllIntersections(query));
    EXPECT_EQ(grid.findIntersection(query), reference.findIntersection(query));
    EXPECT_EQ(grid.isEmpty(query), reference.isEmpty(query));
    EXPECT_EQ(grid.isEmpty(std::make_shared<AABB>(query)), reference.isEmpty(std::make_shared<AABB>(query)));
}

TEST(IntersectorGridImpl, AnswersExactlyAsTheFullScan) {
    for (float const cellSize : {0.3f, 1.0f, 7.0f}) {
        for (unsigned world = 0; world < 150; ++world) {
            SCOPED_TRACE(testing::Message() << "cell " << cellSize << ", world " << world);
            BoxMaker maker(world * 7919 + static_cast<unsigned>(cellSize * 10));
            IntersectorNaiveImpl reference;
            IntersectorGridImpl grid(cellSize);
            Entities added;
            int const count = maker.pick(300);
            for (int i = 0; i < count; ++i) {
                bool const again = !added.empty() && maker.pick(20) == 0;
                std::shared_ptr<Entity> const entity = again ? added[maker.pick(static_cast<int>(added.size()))]
                                                             : std::make_shared<FixedBox>(maker.box());
                added.push_back(entity);
                if (maker.pick(10) == 0) {
                    reference.addEntity(Entities{entity, entity});
                    grid.addEntity(Entities{entity, entity});
                } else {
                    reference.addEntity(entity);
                    grid.addEntity(entity);
                }
            }
            ASSERT_EQ(grid.size(), reference.size());
            ASSERT_EQ(grid.getEntities(), reference.getEntities());
            for (int q = 0; q < 150; ++q) expectSameAnswers(reference, grid, maker.box());
            // Every stored box, as a query, touches at least itself (unless NaN).
            for (auto const& entity : added) expectSameAnswers(reference, grid, entity->getAABB());
        }
    }
}

}  // namespace
