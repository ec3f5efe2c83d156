// F5: the scene file read again while the game runs.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <tuple>

#include "game-loop.h"
#include "log-capture.h"
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

}  // namespace
