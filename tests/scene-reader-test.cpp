// The scene reader over in-memory streams.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <future>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "log-capture.h"
#include "scene-loader.h"
#include "scene-reader.h"
#include "test-entities.h"

namespace {

using namespace std::chrono_literals;

class SceneReaderTest : public ::testing::Test {
protected:
    std::shared_ptr<World> read(std::string const& text) {
        std::istringstream in(text);
        SceneReader reader(player, &in, world, "test.txt");
        return reader.readScene();
    }

    // For inputs that once made the reader loop forever: the reading runs on
    // its own thread and the test binary ends if it does not come back.
    std::shared_ptr<World> readWithinTimeLimit(std::istream& in) {
        std::packaged_task<std::shared_ptr<World>()> task([&] {
            SceneReader reader(player, &in, world, "test.txt");
            return reader.readScene();
        });
        auto result = task.get_future();
        std::thread(std::move(task)).detach();
        if (result.wait_for(10s) != std::future_status::ready) {
            std::fprintf(stderr, "The scene reader did not end within 10 s\n");
            std::_Exit(1);
        }
        return result.get();
    }

    std::shared_ptr<AABox> box(int i) const {
        return std::static_pointer_cast<AABox>(world->intersector->getEntities().at(i));
    }

    // Runs the reading and returns the message of the std::exception*,
    // std::runtime_error* or std::invalid_argument* it raises.
    template <typename Read>
    std::string pointerErrorOf(Read readIt) {
        try {
            readIt();
        } catch (std::exception* e) {
            std::string const what = e->what();
            delete e;
            return what;
        }
        ADD_FAILURE() << "no error was raised";
        return "";
    }

    std::shared_ptr<Player> player = std::make_shared<Player>();
    std::shared_ptr<World> world = std::make_shared<World>(player);
};

TEST_F(SceneReaderTest, EmptyFilesAndCommentsBuildNothing) {
    for (char const* text : {"", "   \n\t \r\n", "# only a comment", "## one\n# two\n\n#\n"}) {
        EXPECT_EQ(read(text), world) << text;
        EXPECT_EQ(world->intersector->size(), 0) << text;
    }
}

TEST_F(SceneReaderTest, CommentsOwnLinesAndFollowEntries) {
    read("# a comment (1, 2, 3) rect\n"
         "rect (0, 0, 0), (1, 1, 1), red # rect (5, 5, 5), (1, 1, 1), green\n"
         "## rect (9, 9, 9), (1, 1, 1), green\n"
         "rect (2, 0, 0), (1, 1, 1), green");  // no line feed at the end
    ASSERT_EQ(world->intersector->size(), 2);
    EXPECT_EQ(box(1)->position.x, 2.0f);
}

TEST_F(SceneReaderTest, OverlongCommentLineGoesOnAsTokens) {
    std::string const text = "# " + std::string(65535, 'x') + "rect (0, 0, 0), (1, 1, 1), red\n";
    read(text);
    EXPECT_EQ(world->intersector->size(), 1);
}

TEST_F(SceneReaderTest, UnknownKeywordEndsReadingKeepingEarlierEntries) {
    LogCapture log;
    EXPECT_EQ(read("rect (0, 0, 0), (1, 1, 1), red\n#note this\nrect (1, 1, 1), (1, 1, 1), red\n"), nullptr);
    EXPECT_EQ(log.text(), "Encountered unknown object: #note\nScene error in test.txt, line 2, in the entry \"#note\"\n");
    EXPECT_EQ(world->intersector->size(), 1);

    LogCapture caseLog;
    EXPECT_EQ(read("Rect (0, 0, 0), (1, 1, 1), red"), nullptr);
    EXPECT_EQ(caseLog.text(), "Encountered unknown object: Rect\nScene error in test.txt, line 1, in the entry \"Rect\"\n");
}

TEST_F(SceneReaderTest, VectorNotations) {
    struct Case { char const* vector; raylib::Vector3 expected; };
    Case const cases[] = {
        {"(1, 2, 3)", {1, 2, 3}},
        {"(1;2;3]", {1, 2, 3}},
        {"( 1 , 2 , 3 )", {1, 2, 3}},
        {"(-1.5, 2e1, .5)", {-1.5f, 20, 0.5f}},
        {"(\n1,\t2,\r\n3\n)", {1, 2, 3}},
    };
    for (auto const& c : cases) {
        std::istringstream in(c.vector);
        SceneReader reader(player, &in, world);
        EXPECT_VECTOR_EQ(reader.readVector3(), c.expected.x, c.expected.y, c.expected.z);
    }
}

TEST_F(SceneReaderTest, RectanglesAndTheirColours) {
    read("rect (0, 0, 0), (2, 4, 6), light_gray\n"
         "rect (1, 1, 1), (1, 1, 1), dark_blue");
    ASSERT_EQ(world->intersector->size(), 2);
    EXPECT_VECTOR_EQ(box(0)->aabb.min, -1, -2, -3);
    EXPECT_VECTOR_EQ(box(0)->aabb.max, 1, 2, 3);
    EXPECT_EQ(box(0)->color.r, 200);
    EXPECT_EQ(box(0)->color.g, 200);
    EXPECT_EQ(box(0)->color.b, 200);
    EXPECT_EQ(box(1)->color.g, 82);
}

TEST_F(SceneReaderTest, ColourWordsAreCaseSensitive) {
    LogCapture log;
    try {
        read("rect (0, 0, 0), (1, 1, 1), Green");
        ADD_FAILURE() << "Green was accepted";
    } catch (std::out_of_range const& e) {
        EXPECT_STREQ(e.what(), "map::at");
    }
    EXPECT_EQ(world->intersector->size(), 0);
    EXPECT_EQ(log.text(), "Scene error in test.txt, line 1, in the entry \"rect\"\n");
}

TEST_F(SceneReaderTest, MissingParenthesis) {
    LogCapture log;
    EXPECT_EQ(pointerErrorOf([&] { read("rect 1, 2, 3), (1, 1, 1), red"); }), "std::exception");
    EXPECT_EQ(log.text(), "Expected '(' but got 1\nScene error in test.txt, line 1, in the entry \"rect\"\n");
    EXPECT_EQ(world->intersector->size(), 0);
}

TEST_F(SceneReaderTest, EndOfFileWhereAVectorBegins) {
    LogCapture log;
    pointerErrorOf([&] { read("rect (0, 0, 0), (1, 1, 1), red\n\nrect"); });
    EXPECT_EQ(log.text(), "Expected '(' but got end of file\nScene error in test.txt, line 3, in the entry \"rect\"\n");
    EXPECT_EQ(world->intersector->size(), 1);
}

TEST_F(SceneReaderTest, EntriesCutShortBuildNothing) {
    struct Case { char const* text; char const* message; };
    Case const cases[] = {
        {"mountain (0, 1, 0), (2, ", "Expected a number but got end of file"},
        {"mountain (0, 1, 0), (2, 2, 2", "Expected a separator such as ',' but got end of file"},
        {"voxels_cloud (50, 0, 0), (1, 1, 1),", "Expected a number but got end of file"},
        {"model tree", "Expected a separator such as ',' but got end of file"},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(c.text);
        LogCapture log;
        EXPECT_EQ(pointerErrorOf([&] { read(c.text); }), c.message);
        EXPECT_EQ(log.text().rfind(std::string(c.message) + "\nScene error in test.txt, line 1, in the entry \"", 0), 0u)
            << log.text();
        EXPECT_EQ(world->intersector->size(), 0);
    }
}

TEST_F(SceneReaderTest, MalformedNumberEndsWithAMessage) {
    for (char const* text : {"rect (1, abc, 3), (1, 1, 1), red\nrect (0, 0, 0), (1, 1, 1), red\n",
                             "voxels_cloud (50, 0, 0), (1, 1, 1), lots\n", "mountain (1, 2, --3), (1, 1, 1)"}) {
        SCOPED_TRACE(text);
        std::istringstream in(text);
        LogCapture log;
        std::string const message = pointerErrorOf([&] { readWithinTimeLimit(in); });
        EXPECT_EQ(message.rfind("Expected a number but got \"", 0), 0u) << message;
        EXPECT_NE(log.text().find("Scene error in test.txt, line 1"), std::string::npos);
        EXPECT_EQ(world->intersector->size(), 0);
    }
}

TEST_F(SceneReaderTest, FailedStreamEndsWithAMessage) {
    std::ifstream unopened("no/such/scene.txt");
    LogCapture log;
    std::string const message = pointerErrorOf([&] { readWithinTimeLimit(unopened); });
    EXPECT_EQ(message, "Scene reading stopped: test.txt could not be read");
}

TEST_F(SceneReaderTest, UnopenableFileIsReportedByPath) {
    LogCapture log;
    std::string const message = pointerErrorOf([&] { loadScene("no/such/scene.txt", player); });
    EXPECT_EQ(message, "Cannot open the scene file no/such/scene.txt");
    EXPECT_EQ(log.text(), message + "\n");
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
    ASSERT_EQ(world->intersector->size(), 3);
    EXPECT_FLOAT_EQ(world->intersector->getEntities()[0]->getAABB().min.x + 0.5f *
                        world->intersector->getEntities()[0]->getAABB().size.x, 1.0f);
}

TEST_F(SceneReaderTest, ModelNameRunningIntoItsVector) {
    LogCapture log;
    // "tree,(1,0,1)" is one word ending in ")": a separator and a vector follow.
    pointerErrorOf([&] { read("model tree,(1,0,1)\nrect (0, 0, 0), (1, 1, 1), red"); });
    EXPECT_EQ(log.text(), "Expected '(' but got e\nScene error in test.txt, line 1, in the entry \"model\"\n");
}

TEST_F(SceneReaderTest, MountainAndItsTrailingComma) {
    LogCapture log;
    EXPECT_EQ(read("mountain (0, 1, 0), (2, 2, 2),\n"), nullptr);
    EXPECT_EQ(log.text(), "Encountered unknown object: ,\nScene error in test.txt, line 1, in the entry \",\"\n");
    EXPECT_EQ(world->intersector->size(), 8);
}

TEST_F(SceneReaderTest, TwoCloudSizes) {
    read("voxels_cloud (50, 0, 0), (0.1, 0.1, 0.1), 1\n"
         "voxels_cloud_huge (100, 0, 0), (10, 10, 10), 0.5\n");
    auto const entities = world->intersector->getEntities();
    ASSERT_EQ(entities.size(), 64u + 32u);
    EXPECT_FLOAT_EQ(entities[0]->getAABB().size.x, 0.025f);
    EXPECT_FLOAT_EQ(entities[63]->getAABB().size.y, 0.025f);
    EXPECT_FLOAT_EQ(entities[64]->getAABB().size.z, 2.5f);
}

TEST_F(SceneReaderTest, CloudKeepsThePlayerClear) {
    read("voxels_cloud_huge (0, 2.5, 4), (10, 10, 10), 1\n");
    EXPECT_EQ(world->intersector->size(), 64 - 2);  // the two cells around the body
    EXPECT_TRUE(world->intersector->isEmpty(player->getAABB()));
}

TEST_F(SceneReaderTest, RefusedCloudEndsReading) {
    LogCapture log;
    try {
        read("rect (0, 0, 0), (1, 1, 1), red\nvoxels_cloud (50, 0, 0), (1, 1, 1), 0\n");
        ADD_FAILURE() << "the cloud was accepted";
    } catch (std::runtime_error const& e) {
        EXPECT_NE(std::string(e.what()).find("1 to 100000"), std::string::npos);
    }
    EXPECT_NE(log.text().find("Scene error in test.txt, line 2"), std::string::npos);
}

TEST_F(SceneReaderTest, TypeWithoutAReader) {
    std::istringstream in("");
    SceneReader reader(player, &in, world);
    LogCapture log;
    try {
        reader.readObjectDetails(static_cast<ObjectType>(9));
        ADD_FAILURE() << "no error was raised";
    } catch (std::invalid_argument* e) {
        EXPECT_STREQ(e->what(), "Object parsing not implemented!");
        delete e;
    }
    EXPECT_EQ(log.text(), "Object parsing not implemented: 9\n");
}

}  // namespace
