// F5: the scene file read again while the game runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <tuple>

#include "game-loop.h"
#include "log-capture.h"
#include "model-formats.h"
#include "scene-loader.h"

namespace {

namespace fs = std::filesystem;

TEST(ReloadScene, ABrokenFileKeepsTheOldWorldAGoodOneReplacesIt) {
    fs::path const path = fs::temp_directory_path() / "tessarine-reload.txt";
    auto const write = [&](std::string const& text) { std::ofstream(path) << text; };
    std::string const floor = "rect (0, -0.5, 0), (20, 1, 20), green\n";
    write(floor);
    auto const player = std::make_shared<Player>();
    LogCapture quiet;
    std::shared_ptr<World> world = loadScene(path.string(), player);
    player->position = {5, 3, 5};
    std::string const folder = path.parent_path().string();
    for (auto const& [scene, replaced, entities, notice] : {
             std::tuple{"rect (0, 1, 0), (1, 1, 1), purple\n", false, 1,
                        path.string() + ":2:28: error: Unknown colour word \"purple\""},
             {"rect (0, 1, 0), (1, 1, 1), red\n", true, 2, std::string("Scene reloaded: 2 entities")},
             {"model nosuch, (0, 1, 0)\n", true, 2,
              "Scene reloaded: 2 entities, 1 warning: the model nosuch is in neither " + folder +
                  "/models/nosuch.vox nor assets/models/nosuch.vox"},
         }) {
        World const* const old = world.get();
        write(floor + scene);
        SceneLoad const load = reloadScene(path.string(), player, world);
        EXPECT_EQ(world.get() != old, replaced) << scene;
        EXPECT_EQ(world->intersector->size(), entities) << scene;
        EXPECT_EQ(reloadNotice(load, world->intersector->size()).substr(0, notice.size()), notice);
    }
    EXPECT_EQ(world->player, player);
    EXPECT_EQ(player->position.x, 5.0f);
    fs::remove(path);
}

TEST(SaveWatch, ASaveOfTheSceneOrOfAModelItLooksForReloadsOnceItSettles) {
    fs::path const folder = fs::temp_directory_path() / "tessarine-watch";
    fs::remove_all(folder);
    fs::create_directories(folder / "models");
    std::string const scene = (folder / "scene.txt").string(), model = (folder / "models/tree.qb").string();
    auto const write = [](std::string const& path, std::string const& text) { std::ofstream(path) << text; };
    write(scene, "rect (0, -0.5, 0), (20, 1, 20), green\nmodel tree, (0, 1, 0)\n");
    LogCapture quiet;
    SceneLoad const load = loadWorld(scene, std::make_shared<Player>());
    // The scene, and the model in each format in the scene's models folder and in the game's.
    ASSERT_EQ(load.files.size(), 1 + 2 * std::size(MODEL_EXTENSIONS));
    EXPECT_EQ(load.files.front(), scene);
    EXPECT_EQ(std::count(load.files.begin(), load.files.end(), model), 1);

    SaveWatch saves;
    saves.watch(load.files, true);
    ASSERT_TRUE(saves.watching());
    std::string const renamed = (folder / "scene.txt.new").string();
    double now = 0;
    for (auto const& [save, reloads] : std::initializer_list<std::pair<std::function<void()>, bool>>{
             {[&] { write(scene, "rect (0, 0, 0), (1, 1, 1), red\n"); }, true},
             {[&] { write(model, "not yet a model"); }, true},
             {[&] { write((folder / "notes.txt").string(), "unrelated"); }, false},
             {[&] { write(renamed, "rect (0, 0, 0), (1, 1, 1), blue\n"), fs::rename(renamed, scene); }, true},
             {[&] { fs::remove(model); }, true},
         }) {
        now += 10;
        save();
        EXPECT_FALSE(saves.settled(now)) << "at once";
        EXPECT_FALSE(saves.settled(now + SAVE_SETTLING_SECONDS / 2));
        EXPECT_EQ(saves.settled(now + SAVE_SETTLING_SECONDS), reloads) << now;
        EXPECT_FALSE(saves.settled(now + 2 * SAVE_SETTLING_SECONDS)) << "once";
    }
    // A second save while the first settles puts the reload off.
    write(scene, "rect (0, 0, 0), (1, 1, 1), red\n");
    EXPECT_FALSE(saves.settled(now = 100));
    write(scene, "rect (0, 0, 0), (1, 1, 1), green\n");
    EXPECT_FALSE(saves.settled(now + SAVE_SETTLING_SECONDS / 2));
    EXPECT_FALSE(saves.settled(now + SAVE_SETTLING_SECONDS));
    EXPECT_TRUE(saves.settled(now + 1.5 * SAVE_SETTLING_SECONDS));

    saves.watch(load.files, false);
    write(scene, "rect (0, 0, 0), (1, 1, 1), red\n");
    EXPECT_FALSE(saves.settled(now = 200));
    EXPECT_FALSE(saves.settled(now + 1));
    fs::remove_all(folder);
}

}  // namespace
