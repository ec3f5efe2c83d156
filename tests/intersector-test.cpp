// The collision indexes: the reference scan, and the tree against it over
// many random worlds and queries.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "intersector-naive-impl.h"
#include "intersector-tree-impl.h"
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
    BoxMaker(unsigned seed, bool large) : random(seed), large(large) {}

    // Corners from a coarse lattice (so boxes touch exactly) or anywhere;
    // extents from 0 and 1e-6 through sizes spread evenly in scale from
    // 0.001 to 10^4 up to 10^7; some inverted, NaN or infinite. In a large
    // world most boxes are 100 to 10^4 units wide.
    AABB box() {
        raylib::Vector3 min{coordinate(), coordinate(), coordinate()};
        raylib::Vector3 max{min.x + extent(), min.y + extent(), min.z + extent()};
        for (int axis = 0; axis < 3; ++axis) {
            int const roll = pick(100);
            if (roll < 8)
                std::swap(axisOf(min, axis), axisOf(max, axis));  // inverted
            else if (roll < 11)
                axisOf(pick(2) ? min : max, axis) = std::nanf("");
            else if (roll < 13)
                axisOf(max, axis) = std::numeric_limits<float>::infinity();
            else if (roll < 15)
                axisOf(min, axis) = -std::numeric_limits<float>::infinity();
        }
        return cornerBox(min, max);
    }

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }

private:
    float uniform(float low, float high) { return std::uniform_real_distribution<float>(low, high)(random); }
    float coordinate() {
        switch (pick(5)) {
            case 0: return uniform(-1e6f, 1e6f);
            case 1: return uniform(-6, 6) * (large ? 1000 : 1);
            default: return static_cast<float>(pick(25) - 12) * 0.5f;
        }
    }
    float extent() {
        if (large && pick(4) != 0) return std::pow(10.0f, uniform(2, 4));
        switch (pick(7)) {
            case 0: return 1e-6f;
            case 1: return 0.0f;
            case 2: return std::pow(10.0f, uniform(-3, 4));
            case 3: return uniform(10, 1e7f);
            default: return static_cast<float>(pick(8)) * 0.5f;
        }
    }

    std::mt19937 random;
    bool large;
};

void expectSameAnswers(Intersector const& reference, Intersector const& index, AABB const& query) {
    EXPECT_EQ(index.findAllIntersections(query), reference.findAllIntersections(query));
    EXPECT_EQ(index.findIntersection(query), reference.findIntersection(query));
    EXPECT_EQ(index.isEmpty(query), reference.isEmpty(query));
    EXPECT_EQ(index.isEmpty(std::make_shared<AABB>(query)), reference.isEmpty(std::make_shared<AABB>(query)));
}

// Random worlds, built in a few rounds of single and listed entities with
// queries between them, answer every query as the full scan does: random
// boxes, and every stored box, which touches at least itself unless NaN.
TEST(IntersectorTreeImpl, AnswersExactlyAsTheFullScan) {
    for (unsigned world = 0; world < 300; ++world) {
        SCOPED_TRACE(testing::Message() << "world " << world);
        BoxMaker maker(world * 7919, world % 3 == 0);
        IntersectorNaiveImpl reference;
        IntersectorTreeImpl index;
        Entities added;
        for (int round = 0; round < 3; ++round) {
            for (int i = maker.pick(200); i > 0; --i) {
                bool const again = !added.empty() && maker.pick(20) == 0;
                std::shared_ptr<Entity> const entity =
                    again ? added[maker.pick(static_cast<int>(added.size()))] : std::make_shared<FixedBox>(maker.box());
                added.push_back(entity);
                Entities const listed(maker.pick(10) == 0 ? 2 : 1, entity);
                reference.addEntity(listed);
                if (listed.size() == 1)
                    index.addEntity(entity);
                else
                    index.addEntity(listed);
            }
            ASSERT_EQ(index.size(), reference.size());
            ASSERT_EQ(index.getEntities(), reference.getEntities());
            for (int q = 0; q < 100; ++q) expectSameAnswers(reference, index, maker.box());
            for (auto const& entity : added) expectSameAnswers(reference, index, entity->getAABB());
        }
    }
}

}  // namespace
