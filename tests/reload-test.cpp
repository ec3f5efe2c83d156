// F5: the scene file read again while the game runs.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "game-loop.h"
#include "log-capture.h"
#include "scene-loader.h"

namespace {

namespace fs = std::filesystem;

TEST(ReloadScene, ABrokenFileKeepsTheOldWorldAGoodOneReplacesIt) {
    fs::path const path = fs::temp_directory_path() / "tessarine-reload.txt";
    auto const write = [&](char const* text) { std::ofstream(path) << text; };
    write("rect (0, -0.5, 0), (20, 1, 20), green\n");
    auto const player = std::make_shared<Player>();
    LogCapture quiet;
    std::shared_ptr<World> world = loadScene(path.string(), player);
    player->position = {5, 3, 5};

    write("rect (0, -0.5, 0), (20, 1, 20), green\nrect (0, 1, 0), (1, 1, 1), purple\n");
    World const* const old = world.get();
    EXPECT_EQ(reloadScene(path.string(), player, world).rfind(path.string() + ":2:28: error: Unknown colour word", 0),
              0u);
    EXPECT_EQ(world.get(), old);
    EXPECT_EQ(world->intersector->size(), 1);

    write("rect (0, -0.5, 0), (20, 1, 20), green\nrect (0, 1, 0), (1, 1, 1), red\n");
    EXPECT_EQ(reloadScene(path.string(), player, world), "");
    EXPECT_EQ(world->intersector->size(), 2);
    EXPECT_EQ(world->player, player);
    EXPECT_EQ(player->position.x, 5.0f);
    fs::remove(path);
}

}  // namespace
