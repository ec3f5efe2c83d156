// Model entities: where they stand, their box and their log line.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

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

// A file that cannot be shown is a model without meshes, logged once.
TEST(ModelEntity, UnreadableFilesAreModelsWithoutMeshes) {
    fs::path const empty = fs::temp_directory_path() / "tessarine-empty.vox";
    std::ofstream{empty};
    // Noise: voxels that touch none of their neighbours, more than a million
    // faces that cannot be merged.
    fs::path const noise = fs::temp_directory_path() / "tessarine-noise.vox";
    auto const speckled = [](int x, int y, int z) { return (x + y + z) % 2 == 0 ? 1 : 0; };
    ASSERT_TRUE(writeVox(noise.string(), voxModelOf(256, 256, 16, speckled)));
    std::pair<std::string, std::string> const cases[] = {
        {"assets/models/no-such-model.vox", "cannot be read"},
        {"assets/models", "is a folder"},
        {empty.string(), "is refused: the file is too short for a .vox header"},
        {noise.string(), "is refused: its surface needs more than 1000000 quads"},
    };
    for (auto const& [path, why] : cases) {
        LogCapture log;
        ModelEntity const entity({0, 0, 0}, 0.1f, path);
        EXPECT_EQ(log.text(), "WARNING: Model [" + path + "] not loaded: the file " + why + "\nDEBUG: Model [" + path +
                                  "] Dimensions: (0, 0, 0)\n");
        EXPECT_EQ(entity.model.meshCount, 0);
        EXPECT_EQ(entity.loaded->problem, "the model file " + path + " " + why);
    }
    fs::remove(empty);
    fs::remove(noise);
}

}  // namespace
