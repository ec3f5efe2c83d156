// Model entities: where they stand, their box and their log line.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>

#include "log-capture.h"
#include "model-entity.h"
#include "test-entities.h"
#include "vox-writer.h"

namespace {

namespace fs = std::filesystem;

TEST(ModelEntity, BoxesDrawPositionAndLogOfKnownModels) {
    // Bounds from (0, 0, 0) to (16, 32, 8): voxels in two opposite corners
    // of a 64 x 32 x 128 grid (z up in the file; a voxel is a quarter unit).
    VoxModel model;
    model.sizeX = 64;
    model.sizeY = 32;
    model.sizeZ = 128;
    model.voxels = {{0, 0, 0, 1}, {63, 31, 127, 1}};
    fs::path const path = fs::temp_directory_path() / "tessarine-known-model.vox";
    ASSERT_TRUE(writeVox(path.string(), model));

    LogCapture log;
    ModelEntity const entity({10, 0, 10}, 0.1f, path.string());
    EXPECT_VECTOR_EQ(entity.getAABB().size, 1.6f, 3.2f, 0.8f);
    EXPECT_VECTOR_EQ(entity.getAABB().min, 9.2f, -1.6f, 9.6f);
    EXPECT_VECTOR_EQ(entity.getAABB().max, 10.8f, 1.6f, 10.4f);
    EXPECT_VECTOR_EQ(entity.drawPosition(), 9.2f, -1.6f, 9.6f);
    EXPECT_EQ(entity.model.meshes[0].vaoId, 0u) << "nothing is uploaded without a window";
    EXPECT_EQ(log.text(), "DEBUG: Model [" + path.string() + "] Dimensions: (1.6, 3.2, 0.8)\n");
    EXPECT_EQ(std::clog.precision(), 3);  // and stays set on the stream
    // Entities of a file taken from a cache share one loaded model, each
    // logging its line; an edited file is read again.
    ModelCache cache;
    ModelEntity const shared({0, 0, 0}, 0.1f, path.string(), cache.get(path.string()));
    ModelEntity const again({0, 0, 0}, 0.1f, path.string(), cache.get(path.string()));
    EXPECT_EQ(again.model.meshes, shared.model.meshes);
    EXPECT_NE(entity.model.meshes, shared.model.meshes);
    EXPECT_EQ(log.text().find("DEBUG: Model [", 1) != std::string::npos, true);
    // A model whose voxels start away from its corner is still centred.
    model.voxels = {{10, 20, 30, 1}, {12, 21, 35, 1}};
    ASSERT_TRUE(writeVox(path.string(), model));
    fs::last_write_time(path, fs::last_write_time(path) + std::chrono::seconds(1));
    ModelEntity const offset({1, 2, 3}, 0.1f, path.string(), cache.get(path.string()));
    raylib::BoundingBox const b = raylib::GetModelBoundingBox(offset.model);
    EXPECT_GT(b.min.x, 0.0f);
    EXPECT_VECTOR_EQ(raylib::Vector3Add(offset.drawPosition(), raylib::Vector3Scale(b.min, 0.1f)), offset.aabb.min.x,
                     offset.aabb.min.y, offset.aabb.min.z);
    // A block of 32 x 32 x 32 voxels full to its edges collides as one box.
    ASSERT_TRUE(writeVox(path.string(), voxModelOf(32, 32, 32, [](int, int, int) { return 1; })));
    LoadedModel const full(path.string());
    ASSERT_EQ(full.solidBoxes.size(), 1u);
    EXPECT_VECTOR_EQ(full.solidBoxes[0].min, 0, 0, 0);
    EXPECT_VECTOR_EQ(full.solidBoxes[0].max, 8, 8, 8);
    fs::remove(path);
}

// A file that cannot be shown is a model without meshes, and says why; one
// that loads but shows nothing (no voxels, all transparent) says so too.
TEST(ModelEntity, FilesThatShowNothingSayWhy) {
    fs::path const empty = fs::temp_directory_path() / "tessarine-empty.vox";
    std::ofstream{empty};
    // Noise: voxels that touch none of their neighbours, more than a million
    // faces that cannot be merged.
    fs::path const noise = fs::temp_directory_path() / "tessarine-noise.vox";
    auto const speckled = [](int x, int y, int z) { return (x + y + z) % 2 == 0 ? 1 : 0; };
    ASSERT_TRUE(writeVox(noise.string(), voxModelOf(256, 256, 16, speckled)));
    fs::path const clear = fs::temp_directory_path() / "tessarine-clear.vox";
    VoxModel glass = voxModelOf(2, 1, 1, [](int, int, int) { return 1; });
    ASSERT_TRUE(writeVox(clear.string(), glass));
    fs::path const none = fs::temp_directory_path() / "tessarine-no-voxels.vox";
    ASSERT_TRUE(writeVox(none.string(), voxModelOf(2, 2, 2, [](int, int, int) { return 0; })));
    std::tuple<std::string, std::string, std::string, size_t> const cases[] = {
        {"assets/models/no-such-model.vox", "cannot be read", "", 0},
        {"assets/models", "is a folder", "", 0},
        {empty.string(), "is refused: the file is too short for a .vox header", "", 0},
        {noise.string(), "is refused: its surface needs more than 1000000 quads", "", 0},
        {clear.string(), "", "shows nothing: the colours of all its voxels are fully transparent", 2},
        {none.string(), "", "shows nothing: it has no voxels", 0},
    };
    for (auto const& [path, problem, warning, voxels] : cases) {
        LogCapture log;
        ModelEntity const entity({0, 0, 0}, 0.1f, path);
        EXPECT_EQ(log.text().rfind("DEBUG: Model [" + path + "] Dimensions: ", 0), 0u) << log.text();
        EXPECT_EQ(entity.model.meshCount > 0, !warning.empty() && voxels > 0) << path;
        EXPECT_EQ(entity.loaded->problem, problem.empty() ? "" : "the model file " + path + " " + problem);
        EXPECT_EQ(entity.loaded->warning, warning.empty() ? "" : "the model file " + path + " " + warning);
        EXPECT_EQ(entity.loaded->voxels, voxels) << path;
    }
    glass.palette[0].a = 1;
    ASSERT_TRUE(writeVox(clear.string(), glass));
    EXPECT_EQ(LoadedModel(clear.string()).warning, "") << "a voxel that shows at all";
    for (fs::path const& path : {empty, noise, clear, none}) fs::remove(path);
}

}  // namespace
