// The scene reader over in-memory streams: what each text builds, returns,
// raises and logs.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <tuple>

#include "available-memory.h"
#include "intersector-naive-impl.h"
#include "log-capture.h"
#include "memory-estimate.h"
#include "model-entity.h"
#include "scene-builder.h"
#include "scene-loader.h"
#include "scene-reader.h"
#include "scene-stats.h"
#include "test-entities.h"
#include "vox-file.h"
#include "voxel-builders.h"

namespace {

namespace fs = std::filesystem;

class SceneReaderTest : public ::testing::Test {
protected:
    // What reading the stream ended with: "world", "none" (an empty
    // pointer), or what was raised (see outcomeOf).
    std::string readFrom(std::istream& in) {
        return outcomeOf([&] {
            auto const result = SceneReader(player, &in, world, "test.txt").readScene();
            return result == world ? "world" : result ? "another world" : "none";
        });
    }
    // The body's result, or the message of what it raised, after "*" when it
    // was raised by pointer; such an exception is deleted here.
    template <class Body>
    static std::string outcomeOf(Body body) {
        try {
            return body();
        } catch (std::exception* e) {
            return "*" + std::string(std::unique_ptr<std::exception>(e)->what());
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
    std::shared_ptr<World> world = std::make_shared<World>(player);
};

TEST_F(SceneReaderTest, WhatEachTextEndsWith) {
    // A text, what reading it ends with, the entities it built and how the
    // log starts.
    std::tuple<char const*, char const*, int, char const*> const cases[] = {
        {"", "world", 0, ""},
        {"   \n\t \r\n## one\n# two\n\n#\n", "world", 0, ""},
        {"# (1, 2, 3) rect\nrect (0, 0, 0), (1, 1, 1), red # rect (5, 5, 5), (1, 1, 1), green\n"
         "## rect (9, 9, 9), (1, 1, 1), green\nrect (2, 0, 0), (1, 1, 1), green",
         "world", 2, ""},
        {"\nrect (0, 0, 0), (1, 1, 1), red\n#note this\nrect (1, 1, 1), (1, 1, 1), red\n", "none", 1,
         "Encountered unknown object: #note\nScene error in test.txt, line 3, in the entry \"#note\"\n"},
        {"Rect (0, 0, 0), (1, 1, 1), red", "none", 0, "Encountered unknown object: Rect\n"},
        // A word is shown up to 40 characters.
        {"qqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqq", "none", 0,
         "Encountered unknown object: qqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqq\n"},
        {"qqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqz", "none", 0,
         "Encountered unknown object: qqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqq...\n"},
        {"mountain (0, 1, 0), (2, 2, 2),\n", "none", 8, "Encountered unknown object: ,\n"},
        {"rect (0, 0, 0), (1, 1, 1), Green", "map::at", 0, "Scene error in test.txt, line 1, in the entry \"rect\"\n"},
        {"rect 1, 2, 3), (1, 1, 1), red", "*std::exception", 0,
         "Expected '(' but got 1\nScene error in test.txt, line 1"},
        {"rect (0, 0, 0), (1, 1, 1), red\n\nrect", "*std::exception", 1,
         "Expected '(' but got end of file\nScene error in test.txt, line 3, in the entry \"rect\"\n"},
        // A name running into its vector is one word ending in ")".
        {"model tree,(1,0,1)\nrect (0, 0, 0), (1, 1, 1), red", "*std::exception", 0, "Expected '(' but got e\n"},
        {"mountain (0, 1, 0), (2, ", "*Expected a number but got end of file", 0, "Expected a number but got end"},
        {"mountain (0, 1, 0), (2, 2, 2", "*Expected a separator such as ',' but got end of file", 0, "Expected a sep"},
        {"rect (1, abc, 3), (1, 1, 1), red\nrect (0, 0, 0), (1, 1, 1), red\n", "*Expected a number but got \"abc,\"", 0,
         "Expected a number but got \"abc,\"\nScene error in test.txt, line 1"},
        {"voxels_cloud (50, 0, 0), (1, 1, 1), lots\n", "*Expected a number but got \"lots\"", 0, "Expected a number"},
        {"rect (0, 0, 0), (1, 1, 1), red\nvoxels_cloud (50, 0, 0), (1, 1, 1), 0\n",
         "Voxel cloud refused: 0 voxels asked for, but a cloud holds 1 to 100000 voxels", 1,
         "Voxel cloud refused: 0 voxels asked for, but a cloud holds 1 to 100000 voxels\n"
         "Scene error in test.txt, line 2, in the entry \"voxels_cloud\"\n"},
        {"mountain (0, 0, 0), (1e9, 1e9, 1e9)", "Mountain refused: it would have more than 100000 slabs", 0,
         "Mountain"},
        // A name keeps all but a final comma, which may stand alone.
        {"model a,b,, (1, 0, 1)", "world", 1,
         "DEBUG: Model [assets/models/a,b,.vox] Dimensions: (0, 0, 0)\nWARNING: the model a,b, is not in "
         "assets/models/a,b,.vox"},
        {"model tree , (1, 0, 1)", "world", 1, "DEBUG: Model [assets/models/tree.vox]"},
        // Voxels of 0.025 and 2.5; the two huge cells around the body stay empty.
        {"voxels_cloud (50, 0, 0), (0.1, 0.1, 0.1), 1 voxels_cloud_huge (0, 2.5, 4), (10, 10, 10), 1", "world", 64 + 62,
         ""},
    };
    for (auto const& [text, result, count, logged] : cases) {
        SCOPED_TRACE(text);
        world->intersector = std::make_shared<IntersectorNaiveImpl>();
        LogCapture log;
        EXPECT_EQ(read(text), result);
        EXPECT_EQ(world->intersector->size(), count);
        EXPECT_EQ(log.text().substr(0, *logged ? std::string(logged).size() : std::string::npos), logged);
    }
}

// Vectors in every notation, and a comment line too long to be skipped whole.
TEST_F(SceneReaderTest, NotationsAndLongComments) {
    read(
        "rect (1;2;3], ( 1 , 2 , 3 ), gray rect (\n1,\t2,\r\n3\n), (-1.5, 2e1, .5), red\n"
        "# " +
        std::string(65535, 'x') + "rect (0, 0, 0), (1, 1, 1), brown\n");
    ASSERT_EQ(world->intersector->size(), 3);
    EXPECT_VECTOR_EQ(box(0).position, 1, 2, 3);
    EXPECT_VECTOR_EQ(box(0).aabb.size, 1, 2, 3);
    EXPECT_VECTOR_EQ(box(1).position, 1, 2, 3);
    EXPECT_VECTOR_EQ(box(1).aabb.size, -1.5f, 20, 0.5f);
    EXPECT_EQ(box(2).color.g, 135);
}

TEST_F(SceneReaderTest, UnreadableStreamsAndTypesWithoutAReader) {
    LogCapture log;
    std::ifstream unopened("no/such/scene.txt");
    EXPECT_EQ(readFrom(unopened), "*Scene reading stopped: test.txt could not be read");
    EXPECT_EQ(outcomeOf([&] { return loadScene("no/such/scene.txt", player) ? "world" : "none"; }),
              "*Cannot open the scene file no/such/scene.txt");
    std::istringstream in("");
    auto const readUnknownType = [&] {
        SceneReader(player, &in, world).readObjectDetails(ObjectType(99));
        return "read";
    };
    EXPECT_EQ(outcomeOf(readUnknownType), "*Object parsing not implemented!");
    EXPECT_NE(log.text().find("Cannot open the scene file no/such/scene.txt\nObject parsing not implemented: 99\n"),
              std::string::npos);
}

// What a check says of the commonest slips: where, what was expected, the
// line with a caret under the place, and a hint; bytes that do not print
// come escaped.
TEST(SceneCheck, ShowsTheLineAndAHintForTheCommonestSlips) {
    std::string const x40(40, 'x'), wide(60, ' ');
    std::pair<std::string, std::string> const cases[] = {
        // A long line, a screen wide around the column.
        {"rect (0, 0, 0), (1, 1, 1), " + x40 + x40, "s:1:28: error: Unknown colour word \"" + x40 +
                                                        "\": the colours are green, red, brown, light_gray, "
                                                        "dark_blue and gray\n    rect (0, 0, 0), (1, 1, 1), " +
                                                        std::string(46, 'x') + "...\n    " + std::string(27, ' ') +
                                                        "^\n"},
        {"rect (0, 0, 0)," + wide + "(1, 1, 1), \xc3\xa9",
         "s:1:87: error: Unknown colour word \"\xc3\xa9\": the colours are green, red, brown, light_gray, dark_blue "
         "and gray\n    ..." +
             std::string(24, ' ') + "(1, 1, 1), \xc3\xa9\n" + std::string(42, ' ') + "^\n"},
        {"rect (2, 1, 1, (1, 1, 1), red",
         "s:1:17: error: Expected '(' but got 1\n    rect (2, 1, 1, (1, 1, 1), red\n                    ^\n"
         "hint: the vector at column 6 ends with ',', not ')': is its ')' missing?\n"},
        {"rect (5 1 1), (1, 1, 1), red",
         "s:1:13: error: Expected a number but got \",\"\n    rect (5 1 1), (1, 1, 1), red\n                ^\n"
         "hint: the vector at column 6 needs a ',' between its numbers: write (x, y, z)\n"},
        {"rect (5 .5 1), (1, 1, 1), red",
         "s:1:13: error: Expected a number but got \"),\"\n    rect (5 .5 1), (1, 1, 1), red\n                ^\n"
         "hint: the vector at column 6 needs a ',' between its numbers: write (x, y, z)\n"},
        {"mountain (0, 0, 0) (1, 1, 1)",
         "s:1:21: error: Expected '(' but got 1\n    mountain (0, 0, 0) (1, 1, 1)\n                        ^\n"
         "hint: a ',' is missing before the '(' at column 20\n"},
        {"mountain (0, 0, 0), (1, 1, 1),",
         "s:1:30: error: Encountered unknown object: ,\n    mountain (0, 0, 0), (1, 1, 1),\n"
         "                                 ^\nhint: an entry ends with its last field: the ',' after it is read as "
         "the next keyword\n"},
        {"\tRect (0, 0, 0), (1, 1, 1), red",
         "s:1:2: error: Encountered unknown object: Rect\n    \tRect (0, 0, 0), (1, 1, 1), red\n    \t^\n"
         "hint: keywords are written in lower case: rect\n"},
        {"#note",
         "s:1:1: error: Encountered unknown object: #note\n    #note\n    ^\nhint: a comment's # stands alone: write "
         "\"# note\"\n"},
        {"x\x1b[2J\xff\xc3\xa9\xe0\xa4\x85",
         "s:1:1: error: Encountered unknown object: x\\x1B[2J\\xFF\xc3\xa9\xe0\xa4\x85\n    "
         "x\\x1B[2J\\xFF\xc3\xa9\xe0\xa4\x85\n    ^\n"},
    };
    for (auto const& [text, expected] : cases) {
        SceneLoad const load = loadWorldFromText(text, "s", std::make_shared<Player>());
        ASSERT_EQ(load.problems.size(), 1u) << text;
        EXPECT_EQ(describeWithLine(load.problems[0]), expected);
    }
    // After a mistake, the entry's indented lines are passed over: the
    // next entry starts at a word at the start of a line.
    EXPECT_EQ(loadWorldFromText("rect (0, 0, 0), (1 1 1),\n  red\n  (2, 2, 2)\nrect (0, 0, 0), (1, 1, 1), red\n", "s",
                                std::make_shared<Player>())
                  .problems.size(),
              1u);
    // A byte that starts no UTF-8 sequence is escaped too; the last
    // character there is (U+10FFFF) is kept.
    EXPECT_EQ(printable("\x80\xc1 \xc2\xa3 \xf0\x9f\x98\x80 \xf4\x8f\xbf\xbf \xf5\x80\x80"),
              "\\x80\\xC1 \xc2\xa3 \xf0\x9f\x98\x80 \xf4\x8f\xbf\xbf \\xF5\\x80\\x80");
}

// A rect without room along any axis is a warning, and only such a rect.
TEST(SceneCheck, ARectOfNoRoomAlongAnyAxisIsAWarning) {
    for (auto const& [size, warned] :
         {std::pair{"(0, 1, 1)", true}, {"(1, 1, 0)", true}, {"(1, -1, 1)", true}, {"(0.01, 0.01, 0.01)", false}}) {
        SceneLoad const load =
            loadWorldFromText(std::string("rect (0, -0.5, 0), (20, 1, 20), green\nrect (0, 1, 0), ") + size + ", red",
                              "s", std::make_shared<Player>());
        EXPECT_EQ(load.problems.size(), warned ? 1u : 0u) << size;
    }
}

// A scene's sun, sky and fog reach its world, and colours written #rrggbb
// its boxes; a mistake in one is a problem at its place, and an atmosphere
// entry given twice a warning at the second.
TEST(SceneCheck, TheSunTheSkyTheFogAndColoursWrittenInHex) {
    LogCapture quiet;
    SceneLoad const load = loadWorldFromText(
        "sun (0, 2, 0) sky #99CCff, dark_blue\nfog 20, 80\nfog 30, 90 rect (0, 0, 0), (9, 1, 9), #FF8000", "s",
        std::make_shared<Player>());
    ASSERT_TRUE(load.world);
    ASSERT_EQ(load.problems.size(), 1u);
    EXPECT_EQ(describeProblem(load.problems[0]),
              "s:3:1: warning: The scene's fog is given again: this one holds, and the "
              "one before is left out");
    SceneAtmosphere const& given = load.world->atmosphere;
    EXPECT_EQ(given.towardSun->y, 1.0f) << "the way to the sun, of length 1";
    EXPECT_EQ(raylib::ColorToInt(*given.horizon), raylib::ColorToInt(raylib::Color{153, 204, 255, 255}));
    EXPECT_EQ(raylib::ColorToInt(*given.zenith), raylib::ColorToInt(raylib::Color{0, 82, 172, 255}));
    EXPECT_EQ(*given.fogStart, 30.0f);
    EXPECT_EQ(*given.fogEnd, 90.0f);
    auto const* box = dynamic_cast<AABox const*>(load.world->intersector->entityList().at(0).get());
    ASSERT_TRUE(box);
    EXPECT_EQ(raylib::ColorToInt(box->color), raylib::ColorToInt(raylib::Color{255, 128, 0, 255}));
    std::pair<char const*, char const*> const mistakes[] = {
        {"sun (0, 0, 0)", "s:1:13: error: Expected the way to the sun but got (0, 0, 0), which points nowhere"},
        {"sky red, #99ccfg",
         "s:1:10: error: Unknown colour \"#99ccfg\": a colour written with # has six hexadecimal digits, #rrggbb"},
        {"rect (0, 0, 0), (1, 1, 1), #ff80",
         "s:1:28: error: Unknown colour \"#ff80\": a colour written with # has six hexadecimal digits, #rrggbb"},
        {"sky red", "s:1:5: error: Expected a separator such as ',' but got end of file"},
        {"fog 80, 20",
         "s:1:9: error: Expected a fog that begins at 0 or farther and ends farther than it begins, "
         "at most 100000 away, but got 80 to 20"},
        {"fog -1, 20",
         "s:1:9: error: Expected a fog that begins at 0 or farther and ends farther than it begins, "
         "at most 100000 away, but got -1 to 20"},
    };
    for (auto const& [text, expected] : mistakes) {
        SceneLoad const wrong = loadWorldFromText(text, "s", std::make_shared<Player>());
        ASSERT_EQ(wrong.problems.size(), 1u) << text;
        EXPECT_EQ(describeProblem(wrong.problems[0]), expected);
    }
}

// A scene's start puts the player's eye there before anything is built
// (the cells of a cloud around it stay empty); a start inside a box is a
// problem at its entry, and one that looks at its own eye is refused.
TEST(SceneCheck, TheStartIsWhereThePlayerStands) {
    LogCapture quiet;
    std::string const ground = "rect (0, -0.5, 0), (40, 1, 40), green\n";
    auto const player = std::make_shared<Player>();
    SceneLoad const load = loadWorldFromText(
        ground + "voxels_cloud (10, 1, 10), (1, 2, 1), 0.2\nstart (10, 1.8, 10), (0, 1.8, 0)\n", "s", player);
    ASSERT_TRUE(load.world);
    EXPECT_TRUE(load.problems.empty()) << describeProblem(load.problems.at(0));
    EXPECT_VECTOR_EQ(load.world->start.eye, 10, 1.8f, 10);
    EXPECT_VECTOR_EQ(load.world->start.look, 0, 1.8f, 0);
    EXPECT_VECTOR_EQ(player->position, 10, 1.8f, 10);
    EXPECT_FALSE(load.world->intersector->findIntersection(player->aabb)) << "the cloud keeps clear of the start";
    std::pair<std::string, std::string> const cases[] = {
        {ground + "rect (5, 1, 5), (2, 2, 2), red\nstart (5, 2, 5), (0, 2, 0)",
         "s:3:1: error: the start at (5, 2, 5) is inside a box: the player could not move"},
        {ground + "start (5, 2, 5), (5, 2, 5)", "s:2:26: error: Expected a point to look at other than the eye"},
    };
    for (auto const& [text, expected] : cases) {
        SceneLoad const wrong = loadWorldFromText(text, "s", std::make_shared<Player>());
        ASSERT_EQ(wrong.problems.size(), 1u) << text;
        EXPECT_EQ(describeProblem(wrong.problems[0]), expected);
    }
}

// A model is looked for in the scene's own models folder, then in the game's;
// it may be scaled, and made solid: walked into, it stops at its voxels.
TEST(SceneModels, FoundBesideTheSceneScaledAndSolid) {
    fs::path const folder = fs::temp_directory_path() / "tessarine-scene-models";
    fs::create_directories(folder / "models/props");
    fs::copy_file("assets/models/lamp_post.vox", folder / "models/props/lamp.vox",
                  fs::copy_options::overwrite_existing);
    // The scene's own rock before the game's.
    fs::copy_file("assets/models/lamp_post.vox", folder / "models/rock.vox", fs::copy_options::overwrite_existing);
    // Beside a file of the same name in another format, which it is not.
    fs::copy_file("assets/models/lamp_post.vox", folder / "models/rock.qb", fs::copy_options::overwrite_existing);
    std::string const here = folder.string();
    // A text, the model file it loads, the problem, the scale and whether solid.
    std::tuple<std::string, std::string, std::string, float, bool> const cases[] = {
        {"model props/lamp, (0, 0, 0)", here + "/models/props/lamp.vox", "", 0.1f, false},
        {"model tree, (0, 0, 0), scale 0.5", "assets/models/tree.vox", "", 0.5f, false},
        {"model rock, (0, 0, 0)", here + "/models/rock.vox",
         "1:7: warning: the model rock is both " + here + "/models/rock.vox and " + here +
             "/models/rock.qb: the first is read; give the name its ending (rock.qb) to read another",
         0.1f, false},
        {"model rock.qb, (0, 0, 0)", here + "/models/rock.qb",
         "1:7: error: the model file " + here + "/models/rock.qb is refused: at byte 24: not a Qubicle file", 0.1f,
         false},
        {"model props/lamp, (0, 0, 0) , solid ,scale 2", here + "/models/props/lamp.vox", "", 2, true},
        {"model nothere, (0, 0, 0)", "assets/models/nothere.vox",
         "1:7: error: the model nothere is in neither " + here + "/models/nothere.vox nor assets/models/nothere.vox",
         0.1f, false},
        {"model ../models/props/lamp, (0, 0, 0)", here + "/models/../models/props/lamp.vox",
         "1:7: error: the model name ../models/props/lamp leaves the models folders: no absolute path, no ..", 0.1f,
         false},
        {"model /usr/x, (0, 0, 0)", "assets/models//usr/x.vox",
         "1:7: error: the model name /usr/x leaves the models folders", 0.1f, false},
        {"model tree, (0, 0, 0), scale -1", "", "1:30: error: Expected a scale above 0 and at most 100 but got -1", 0,
         false},
        {"model tree, (0, 0, 0), huge", "",
         "1:24: error: Expected scale, solid or color after a model's ',' but got \"huge\"", 0, false},
        {"model tree, (0, 0, 0),", "",
         "1:21: error: Expected scale, solid or color after a model's ',' but got end of file", 0, false},
    };
    for (auto const& [text, loaded, problem, scale, solid] : cases) {
        std::ofstream(folder / "scene.txt") << text;
        LogCapture log;
        SceneLoad const load = loadWorld((folder / "scene.txt").string(), std::make_shared<Player>());
        std::string const report = load.report();
        EXPECT_EQ(report.substr(report.find(':') + 1, problem.size()), problem) << text;
        if (loaded.empty()) continue;
        // A solid model is drawn but kept out of the collision index; its
        // voxels' boxes stand there in its place.
        auto const entities = load.world->intersector->getEntities();
        auto const& drawn = solid ? load.world->drawnOnly : entities;
        auto const& model = dynamic_cast<ModelEntity const&>(*drawn.at(0));
        EXPECT_NE(log.text().find("DEBUG: Model [" + loaded + "]"), std::string::npos) << text;
        EXPECT_EQ(model.scale, scale);
        EXPECT_EQ(entities.size(), solid ? model.loaded->solidBoxes.size() : 1u) << text;
        EXPECT_EQ(load.world->drawnOnly.size(), solid ? 1u : 0u) << text;
    }
    fs::remove_all(folder);
}

// A model of a format without colours takes its entry's colour, or grey;
// the same file shown in two colours is read once for each.
TEST(SceneModels, AColourlessModelTakesItsEntrysColour) {
    fs::path const folder = fs::temp_directory_path() / "tessarine-colourless";
    fs::create_directories(folder / "models");
    std::ofstream(folder / "models/block.binvox", std::ios::binary) << std::string("#binvox 1\ndim 1 1 1\ndata\n\1\1");
    std::ofstream(folder / "scene.txt") << "model block, (0, 0, 0), color #ff2010\nmodel block, (5, 0, 0)\n"
                                           "model block, (9, 0, 0), color red\nmodel block, (9, 0, 9), color #ff2010\n";
    ModelCache cache;
    LogCapture quiet;
    SceneLoad const load = loadWorld((folder / "scene.txt").string(), std::make_shared<Player>(), {.models = &cache});
    ASSERT_TRUE(load.world) << load.report();
    std::vector<LoadedModel const*> models;
    for (auto const& entity : load.world->intersector->getEntities())
        models.push_back(dynamic_cast<ModelEntity const&>(*entity).loaded.get());
    ASSERT_EQ(models.size(), 4u);
    auto const colourOf = [](LoadedModel const* model) {
        unsigned char const* c = model->model.meshes[0].colors;
        return std::tuple(c[0], c[1], c[2]);
    };
    EXPECT_EQ(colourOf(models[0]), std::tuple(0xff, 0x20, 0x10));
    EXPECT_EQ(colourOf(models[1]), std::tuple(PLAIN_MODEL_GREY.r, PLAIN_MODEL_GREY.g, PLAIN_MODEL_GREY.b));
    EXPECT_EQ(colourOf(models[2]), std::tuple(189, 0, 54));
    EXPECT_EQ(models[3], models[0]) << "read once for each colour";
    fs::remove_all(folder);
}

// Before anything is built, a scene's entries are counted into the memory
// its world needs: a box for each rect, cloud voxel and mountain slab, and
// the bytes of each model file (once, when models are shared), whose voxels
// collide as boxes when the model is solid.
TEST(SceneMemory, CountedBeforeAnythingIsBuilt) {
    size_t const tree = fs::file_size("assets/models/tree.vox");
    size_t const slabs = buildMountain({0, 0, 0}, {4, 2, 4}).size();
    std::tuple<char const*, bool, MemoryEstimate> const cases[] = {
        {"rect (0, 0, 0), (1, 1, 1), red\nrect (0, 2, 0), (1, 1, 1), red", false, {2, 0}},
        {"voxels_cloud_huge (0, 30, 0), (100, 50, 625), 0.5", false, {100000, 0}},
        {"voxels_cloud (0, 3, -40), (2.5, 0.25, 2.5), 1\nvoxels_cloud (0, 0, 0), (1, 1, 1), 0", false, {100000, 0}},
        {"mountain (0, 0, 0), (4, 2, 4)", false, {slabs, 0}},
        {"model tree, (0, 0, 0)\nmodel tree, (5, 0, 0)", false, {0, 2 * tree}},
        {"model tree, (0, 0, 0)\nmodel tree, (5, 0, 0)", true, {0, tree}},
        {"model tree, (0, 0, 0), solid\nmodel nothere, (0, 0, 0)", true, {tree / 4, tree}},
    };
    for (auto const& [text, sharedModels, expected] : cases) {
        MemoryEstimate const counted = estimateMemory(readSceneDescription(text, "s"), {}, sharedModels);
        EXPECT_EQ(counted.boxes, expected.boxes) << text;
        EXPECT_EQ(counted.modelFileBytes, expected.modelFileBytes) << text;
    }
    // A packed format counts as the .vox of 64 times its size, at most the largest.
    fs::path const folder = fs::temp_directory_path() / "tessarine-packed";
    fs::create_directories(folder / "models");
    std::ofstream(folder / "models/block.binvox") << std::string(100, 'b');
    std::ofstream(folder / "models/big.schem") << std::string(300000, 's');
    MemoryEstimate const packed = estimateMemory(
        readSceneDescription("model block, (0, 0, 0), solid\nmodel big, (0, 0, 0)", "s"), {folder.string(), ""}, true);
    EXPECT_EQ(packed.modelFileBytes, 64 * 100 + MAX_VOX_FILE_BYTES);
    EXPECT_EQ(packed.boxes, 64 * 100 / 4);
    fs::remove_all(folder);
}

// A scene whose world would take more memory than there is is refused at
// the entry that passes it; one that fits is built, its progress counted.
TEST(SceneMemory, OneTooLargeIsRefusedAtTheEntryThatPassesTheMemory) {
    std::string const text =
        "rect (0, -0.5, 0), (90, 1, 90), green\nvoxels_cloud_huge (60, 30, 0), (100, 50, 625), 0.5\n"
        "  voxels_cloud_huge (170, 30, 0), (100, 50, 625), 0.5\n";
    size_t const firstTwo = MemoryEstimate{100001, 0}.bytes(), all = MemoryEstimate{200001, 0}.bytes();
    SceneLoad const refused = loadWorldFromText(text, "big.txt", std::make_shared<Player>(), {.memoryLimit = firstTwo});
    EXPECT_EQ(refused.world, nullptr);
    EXPECT_EQ(refused.report(), "big.txt:3:3: error: Scene refused: it needs about " + memorySize(all) +
                                    " of memory, more than the " + memorySize(firstTwo) +
                                    " available, which the entries up to this one already pass\n");
    EXPECT_EQ(memorySize(1449999999), "1.4 GB");
    EXPECT_EQ(memorySize(350400000), "350 MB");

    LoadProgress progress;
    SceneLoad const fits =
        loadWorldFromText(text, "big.txt", std::make_shared<Player>(), {.progress = &progress, .memoryLimit = all});
    ASSERT_NE(fits.world, nullptr);
    EXPECT_EQ(fits.world->intersector->size(), 200001);
    EXPECT_EQ(progress.entries, 3u);
    EXPECT_EQ(progress.bytesRead, text.size());
    EXPECT_EQ(progress.bytesTotal, text.size());

    // A stop asked for ends the reading after the entry it is in.
    progress.stop = true;
    progress.entries = 0;
    SceneLoad const stopped = loadWorldFromText(text, "big.txt", std::make_shared<Player>(), {.progress = &progress});
    EXPECT_EQ(stopped.world, nullptr);
    EXPECT_EQ(progress.entries, 1u);
    EXPECT_EQ(stopped.report(), "big.txt:0:0: error: Scene reading stopped before its end\n");
}

// A control group's limit leaves the room not yet used under it; no limit,
// or an unreadable one, leaves the system's memory to decide.
TEST(SceneMemory, TheRoomLeftUnderAControlGroupsLimit) {
    fs::path const root = fs::temp_directory_path() / "tessarine-cgroup-test";
    fs::remove_all(root);
    fs::create_directories(root / "game");
    fs::create_directories(root / "memory/old");
    auto const write = [](fs::path const& path, std::string const& text) { std::ofstream(path) << text; };
    write(root / "memory/old/memory.limit_in_bytes", "5000\n");
    write(root / "memory/old/memory.usage_in_bytes", "1500\n");
    std::tuple<char const*, char const*, char const*, size_t> const cases[] = {
        {"0::/game\n", "1000\n", "400\n", 600},
        {"0::/game\n", "1000\n", "1200\n", 1},  // over its limit: no room, but a limit
        {"0::/game\n", "max\n", "400\n", 0},
        {"9:pids:/\n4:memory:/old\n0::/\n", "", "", 3500},
        {"9:pids:/\n", "", "", 0},
    };
    for (auto const& [groups, limit, used, room] : cases) {
        write(root / "groups", groups);
        write(root / "game/memory.max", limit);
        write(root / "game/memory.current", used);
        EXPECT_EQ(cgroupRoom((root / "groups").string(), root.string()), room) << groups << limit;
    }
    fs::remove_all(root);
}

// A scene made in code, without any text, builds the world its text would:
// the same entities, drawn from the same random numbers.
TEST(SceneDescription, BuildsTheWorldItsTextWould) {
    std::vector<SceneEntry> const entries = {
        {RECT, RectEntry{{0, -0.5f, 0}, {20, 1, 20}, colorGreen}},
        {VOXELS_CLOUD_HUGE, CloudEntry{{0, 12, 0}, {10, 10, 10}, HUGE_VOXEL, 0.5f}},
        {MOUNTAIN, MountainEntry{{5, 0, 5}, {3, 2, 3}}},
        {MODEL, ModelEntry{"tree", {2, 1, 2}, 0.2f, true}},
    };
    std::string const text =
        "rect (0, -0.5, 0), (20, 1, 20), green\nvoxels_cloud_huge (0, 12, 0), (10, 10, 10), 0.5\n"
        "mountain (5, 0, 5), (3, 2, 3)\nmodel tree, (2, 1, 2), scale 0.2, solid\n";
    LogCapture quiet;
    World made(std::make_shared<Player>());
    initRandomToken();
    for (SceneEntry const& entry : entries) EXPECT_FALSE(buildEntry(entry, made, {keepClearFor(made.player.get())}));
    SceneLoad const read = loadWorldFromText(text, "s", std::make_shared<Player>());
    ASSERT_TRUE(read.world);
    EXPECT_EQ(readSceneDescription(text, "s").entries.size(), entries.size());
    EXPECT_GT(made.intersector->size(), 1 + 6 + 1);
    EXPECT_EQ(worldDigest(*made.intersector), worldDigest(*read.world->intersector));
}

// The demo scene the game ships with builds the same world on every run.
TEST(DemoScene, BuildsTheSameWorldOnEveryRun) {
    LogCapture quiet;
    initRandomToken();
    auto const world = loadScene(SCENE_PATH, std::make_shared<Player>());
    ASSERT_NE(world, nullptr);
    EXPECT_EQ(worldDigest(*world->intersector), 3179842677108620617u) << "the demo scene's world changed";
    EXPECT_EQ(measureScene(SCENE_PATH).digest, 3179842677108620617u);
}

}  // namespace
