#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "log-capture.h"
#include "model-entity.h"
#include "test-entities.h"
#include "vox-writer.h"

namespace {

namespace fs = std::filesystem;

std::string dimensionsLine(std::string const& path, raylib::Vector3 size) {
    std::ostringstream line;
    line.precision(3);
    line << "DEBUG: Model [" << path << "] Dimensions: (" << double(size.x) << ", " << double(size.y) << ", "
         << double(size.z) << ")\n";
    return line.str();
}

// Checks box, draw position and log line against the model's own bounds.
void expectPlacedAt(std::string const& path, raylib::Vector3 position) {
    SCOPED_TRACE(path);
    LogCapture log;
    ModelEntity const entity(position, 0.1f, path);
    raylib::BoundingBox const b = raylib::GetModelBoundingBox(entity.model);
    ASSERT_GT(entity.model.meshCount, 0);
    raylib::Vector3 const size{(b.max.x - b.min.x) * 0.1f, (b.max.y - b.min.y) * 0.1f, (b.max.z - b.min.z) * 0.1f};
    EXPECT_GT(size.y, 0.0f);
    AABB const& box = entity.getAABB();
    EXPECT_EQ(box.size.x, size.x);
    EXPECT_EQ(box.size.y, size.y);
    EXPECT_EQ(box.min.x, position.x - 0.5f * size.x);
    EXPECT_EQ(box.max.y, (position.y - 0.5f * size.y) + size.y);
    raylib::Vector3 const draw = entity.drawPosition();
    EXPECT_FLOAT_EQ(draw.x, position.x - (b.min.x + (b.max.x - b.min.x) * 0.5f) * 0.1f);
    EXPECT_FLOAT_EQ(draw.y, position.y - (b.min.y + (b.max.y - b.min.y) * 0.5f) * 0.1f);
    EXPECT_EQ(log.text(), dimensionsLine(path, size));
}

TEST(ModelEntity, OurModels) {
    for (char const* name : {"tree", "rock", "lamp_post"}) {
        expectPlacedAt(std::string("assets/models/") + name + ".vox", {3, 1, -2});
    }
}

TEST(ModelEntity, RealMagicaVoxelFiles) {
    fs::path const samples = fs::path(TESSARINE_SHARED_DIR) / "vox-samples";
    if (!fs::exists(samples)) GTEST_SKIP() << "no sample files: " << samples << " is absent";
    for (char const* name : {"chr_knight", "chr_sword", "chr_cat", "deer", "maze2D", "monu1"}) {
        expectPlacedAt((samples / (std::string(name) + ".vox")).string(), {0, 0, 0});
    }
}

TEST(ModelEntity, BoxDrawPositionAndLogOfAKnownModel) {
    // A model whose bounds run from (0, 0, 0) to (16, 32, 8): voxels in two
    // opposite corners of a 64 x 32 x 128 grid (z up in the file; the
    // loader makes a voxel a quarter of a unit).
    VoxModel model;
    model.sizeX = 64;
    model.sizeY = 32;
    model.sizeZ = 128;
    model.voxels = {{0, 0, 0, 1}, {63, 31, 127, 1}};
    model.palette[0] = {200, 10, 10, 255};
    fs::path const path = fs::temp_directory_path() / "tessarine-known-model.vox";
    ASSERT_TRUE(writeVox(path.string(), model));

    LogCapture log;
    ModelEntity const entity({10, 0, 10}, 0.1f, path.string());
    EXPECT_VECTOR_EQ(entity.getAABB().size, 1.6f, 3.2f, 0.8f);
    EXPECT_VECTOR_EQ(entity.getAABB().min, 9.2f, -1.6f, 9.6f);
    EXPECT_VECTOR_EQ(entity.getAABB().max, 10.8f, 1.6f, 10.4f);
    EXPECT_VECTOR_EQ(entity.drawPosition(), 9.2f, -1.6f, 9.6f);
    EXPECT_EQ(log.text(), "DEBUG: Model [" + path.string() + "] Dimensions: (1.6, 3.2, 0.8)\n");
    // The precision stays set on the stream.
    EXPECT_EQ(std::clog.precision(), 3);
    fs::remove(path);
}

TEST(ModelEntity, MissingFileIsUsedAsRaylibReturnsIt) {
    LogCapture log;
    ModelEntity const entity({0, 0, 0}, 0.1f, "assets/models/no-such-model.vox");
    // Whatever raylib gives back is used and measured like any model.
    EXPECT_EQ(log.text().rfind("DEBUG: Model [assets/models/no-such-model.vox] Dimensions: (", 0), 0u);
}

}  // namespace
