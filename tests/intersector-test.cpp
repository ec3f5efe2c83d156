// The reference index: a flat list scanned in full.
#include <gtest/gtest.h>

#include <cmath>

#include "intersector-naive-impl.h"
#include "test-entities.h"

namespace {

using Entities = std::vector<std::shared_ptr<Entity>>;

TEST(IntersectorNaiveImpl, EmptyIndexAnswersNothing) {
    IntersectorNaiveImpl index;
    AABB const query = cornerBox({0, 0, 0}, {1, 1, 1});
    EXPECT_EQ(index.size(), 0);
    EXPECT_TRUE(index.getEntities().empty());
    EXPECT_EQ(index.findIntersection(query), nullptr);
    EXPECT_TRUE(index.isEmpty(std::make_shared<AABB>(query)));
    EXPECT_TRUE(index.isEmpty(std::shared_ptr<AABB>()));
}

TEST(IntersectorNaiveImpl, InsertionOrderDuplicatesAndSnapshots) {
    IntersectorNaiveImpl index;
    auto a = fixedBox({0, 0, 0}, {1, 1, 1});
    auto b = fixedBox({0.5f, 0.5f, 0.5f}, {2, 2, 2});
    auto far = fixedBox({10, 10, 10}, {11, 11, 11});
    index.addEntity(b);
    index.addEntity(Entities{far, a});
    index.addEntity(b);
    index.addEntity(Entities{});
    AABB const query = cornerBox({0.75f, 0.75f, 0.75f}, {0.8f, 0.8f, 0.8f});
    Entities const all = index.getEntities();
    Entities const hits = index.findAllIntersections(query);
    index.addEntity(a);

    EXPECT_EQ(index.size(), 5);
    EXPECT_EQ(all, (Entities{b, far, a, b}));
    EXPECT_EQ(hits, (Entities{b, a, b}));
    // The first hit is the one added earliest, not the nearest or smallest.
    EXPECT_EQ(index.findIntersection(query), b);
    EXPECT_FALSE(index.isEmpty(query));
    EXPECT_TRUE(index.isEmpty(cornerBox({0, std::nanf(""), 0}, {1, 1, 1})));
}

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

}  // namespace
