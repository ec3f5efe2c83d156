// The scene reader over in-memory streams: what each text builds, returns,
// raises and logs.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "intersector-naive-impl.h"
#include "log-capture.h"
#include "scene-loader.h"
#include "scene-reader.h"
#include "test-entities.h"

namespace {

class SceneReaderTest : public ::testing::Test {
protected:
    // What reading the stream ended with: "world", "none" (an empty
    // pointer), or the message of what was raised, after "*" when it was
    // raised by pointer.
    std::string readFrom(std::istream& in) {
        try {
            SceneReader reader(player, &in, world, "test.txt");
            auto const result = reader.readScene();
            return result == world ? "world" : result ? "another world" : "none";
        } catch (std::exception* e) {
            std::string const what = e->what();
            delete e;
            return "*" + what;
        } catch (std::exception const& e) {
            return e.what();
        }
    }
    std::string read(std::string const& text) {
        std::istringstream in(text);
        return readFrom(in);
    }
    AABox const& box(int i) const { return static_cast<AABox const&>(*world->intersector->getEntities().at(i)); }

    std::shared_ptr<Player> player = std::make_shared<Player>();
    std::shared_ptr<World> world = std::make_shared<World>(player, WorldOptions{.graphics = false});
};

TEST_F(SceneReaderTest, WhatEachTextEndsWith) {
    struct Case { char const* text; char const* result; int count; char const* log; };
    Case const cases[] = {
        {"", "world", 0, ""},
        {"   \n\t \r\n## one\n# two\n\n#\n", "world", 0, ""},
        {"# (1, 2, 3) rect\nrect (0, 0, 0), (1, 1, 1), red # rect (5, 5, 5), (1, 1, 1), green\n"
         "## rect (9, 9, 9), (1, 1, 1), green\nrect (2, 0, 0), (1, 1, 1), green", "world", 2, ""},
        {"rect (0, 0, 0), (1, 1, 1), red\n#note this\nrect (1, 1, 1), (1, 1, 1), red\n", "none", 1,
         "Encountered unknown object: #note\nScene error in test.txt, line 2, in the entry \"#note\"\n"},
        {"Rect (0, 0, 0), (1, 1, 1), red", "none", 0, "Encountered unknown object: Rect\n"},
        {"mountain (0, 1, 0), (2, 2, 2),\n", "none", 8, "Encountered unknown object: ,\n"},
        {"rect (0, 0, 0), (1, 1, 1), Green", "map::at", 0, "Scene error in test.txt, line 1, in the entry \"rect\"\n"},
        {"rect 1, 2, 3), (1, 1, 1), red", "*std::exception", 0, "Expected '(' but got 1\nScene error in test.txt, line 1"},
        {"rect (0, 0, 0), (1, 1, 1), red\n\nrect", "*std::exception", 1,
         "Expected '(' but got end of file\nScene error in test.txt, line 3, in the entry \"rect\"\n"},
        // A name running into its vector is one word ending in ")".
        {"model tree,(1,0,1)\nrect (0, 0, 0), (1, 1, 1), red", "*std::exception", 0, "Expected '(' but got e\n"},
        {"mountain (0, 1, 0), (2, ", "*Expected a number but got end of file", 0, "Expected a number but got end"},
        {"mountain (0, 1, 0), (2, 2, 2", "*Expected a separator such as ',' but got end of file", 0, "Expected a sep"},
        {"voxels_cloud (50, 0, 0), (1, 1, 1),", "*Expected a number but got end of file", 0, "Expected a number"},
        {"model tree", "*Expected a separator such as ',' but got end of file", 0, "Expected a separator"},
        {"rect (1, abc, 3), (1, 1, 1), red\nrect (0, 0, 0), (1, 1, 1), red\n",
         "*Expected a number but got \"abc,\"", 0, "Expected a number but got \"abc,\"\nScene error in test.txt, line 1"},
        {"voxels_cloud (50, 0, 0), (1, 1, 1), lots\n", "*Expected a number but got \"lots\"", 0, "Expected a number"},
        {"rect (0, 0, 0), (1, 1, 1), red\nvoxels_cloud (50, 0, 0), (1, 1, 1), 0\n",
         "Voxel cloud refused: 0 voxels asked for, but a cloud holds 1 to 100000 voxels", 1,
         "Voxel cloud refused: 0 voxels asked for, but a cloud holds 1 to 100000 voxels\n"
         "Scene error in test.txt, line 2, in the entry \"voxels_cloud\"\n"},
        {"mountain (0, 0, 0), (1e9, 1e9, 1e9)", "Mountain refused: it would have more than 100000 slabs", 0, "Mountain"},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(c.text);
        world->intersector = std::make_shared<IntersectorNaiveImpl>();
        LogCapture log;
        EXPECT_EQ(read(c.text), c.result);
        EXPECT_EQ(world->intersector->size(), c.count);
        EXPECT_EQ(log.text().rfind(c.log, 0), 0u) << log.text();
    }
}

TEST_F(SceneReaderTest, VectorNotationsAndRectangles) {
    for (char const* vector : {"(1, 2, 3)", "(1;2;3]", "( 1 , 2 , 3 )", "(\n1,\t2,\r\n3\n)"}) {
        std::istringstream in(vector);
        EXPECT_VECTOR_EQ(SceneReader(player, &in, world).readVector3(), 1, 2, 3);
    }
    std::istringstream numbers("(-1.5, 2e1, .5)");
    EXPECT_VECTOR_EQ(SceneReader(player, &numbers, world).readVector3(), -1.5f, 20, 0.5f);

    // A comment line longer than 65536 characters goes on as tokens.
    read("rect (0, 0, 0), (2, 4, 6), light_gray\nrect (1, 1, 1), (1, 1, 1), dark_blue\n"
         "# " + std::string(65535, 'x') + "rect (0, 0, 0), (1, 1, 1), gray\n");
    ASSERT_EQ(world->intersector->size(), 3);
    EXPECT_VECTOR_EQ(box(0).aabb.min, -1, -2, -3);
    EXPECT_VECTOR_EQ(box(0).aabb.max, 1, 2, 3);
    EXPECT_EQ(box(0).color.r, 200);
    EXPECT_EQ(box(0).color.b, 200);
    EXPECT_EQ(box(1).color.g, 82);
    EXPECT_EQ(box(2).color.g, 130);
}

TEST_F(SceneReaderTest, ModelNamesWithCommas) {
    struct Case { char const* text; char const* path; };
    Case const cases[] = {
        {"model tree, (1, 0, 1)", "assets/models/tree.vox"},
        {"model tree , (1, 0, 1)", "assets/models/tree.vox"},
        {"model a,b,, (1, 0, 1)", "assets/models/a,b,.vox"},
    };
    for (auto const& c : cases) {
        LogCapture log;
        read(c.text);
        EXPECT_EQ(log.text().rfind(std::string("DEBUG: Model [") + c.path + "]", 0), 0u) << log.text();
    }
    AABB const& tree = world->intersector->getEntities().at(0)->getAABB();
    EXPECT_FLOAT_EQ(tree.min.x + 0.5f * tree.size.x, 1.0f);
}

TEST_F(SceneReaderTest, CloudSizesAndThePlayerKeptClear) {
    read("voxels_cloud (50, 0, 0), (0.1, 0.1, 0.1), 1\n"
         "voxels_cloud_huge (0, 2.5, 4), (10, 10, 10), 1\n");
    ASSERT_EQ(world->intersector->size(), 64 + 64 - 2);  // the two cells around the body are left out
    EXPECT_EQ(box(0).aabb.size.x, 0.025f);
    EXPECT_EQ(box(63).aabb.size.y, 0.025f);
    EXPECT_EQ(box(64).aabb.size.z, 2.5f);
    EXPECT_TRUE(world->intersector->isEmpty(player->getAABB()));
}

TEST_F(SceneReaderTest, UnreadableStreamsAndTypesWithoutAReader) {
    LogCapture log;
    std::ifstream unopened("no/such/scene.txt");
    EXPECT_EQ(readFrom(unopened), "*Scene reading stopped: test.txt could not be read");
    try {
        loadScene("no/such/scene.txt", player, {.graphics = false});
        ADD_FAILURE() << "an unopenable file was read";
    } catch (std::runtime_error* e) {
        EXPECT_STREQ(e->what(), "Cannot open the scene file no/such/scene.txt");
        delete e;
    }
    std::istringstream in("");
    try {
        SceneReader(player, &in, world).readObjectDetails(static_cast<ObjectType>(9));
        ADD_FAILURE() << "no error was raised";
    } catch (std::invalid_argument* e) {
        EXPECT_STREQ(e->what(), "Object parsing not implemented!");
        delete e;
    }
    EXPECT_NE(log.text().find("Cannot open the scene file no/such/scene.txt\n"), std::string::npos);
    EXPECT_NE(log.text().find("Object parsing not implemented: 9\n"), std::string::npos);
}

}  // namespace
