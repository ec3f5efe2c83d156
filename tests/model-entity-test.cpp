// Model entities: where they stand, their box and their log line.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "log-capture.h"
#include "model-entity.h"
#include "test-entities.h"
#include "vox-writer.h"

namespace {

namespace fs = std::filesystem;

TEST(ModelEntity, BoxDrawPositionAndLogOfAKnownModel) {
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
    EXPECT_EQ(log.text(), "DEBUG: Model [" + path.string() + "] Dimensions: (1.6, 3.2, 0.8)\n");
    EXPECT_EQ(std::clog.precision(), 3);  // and stays set on the stream
    fs::remove(path);
}

// Our models and the real files stand centred on their position.
TEST(ModelEntity, EveryModelStandsCentredOnItsPosition) {
    std::vector<fs::path> paths;
    for (char const* name : {"tree", "rock", "lamp_post"}) paths.push_back(fs::path("assets/models") / (std::string(name) + ".vox"));
    fs::path const samples = TESSARINE_SAMPLES_DIR;
    if (fs::exists(samples)) {
        for (auto const& file : fs::directory_iterator(samples)) {
            if (file.path().extension() == ".vox") paths.push_back(file.path());
        }
    } else {
        std::printf("No sample files: %s is absent; only our own models are placed\n", samples.c_str());
    }
    for (fs::path const& path : paths) {
        SCOPED_TRACE(path);
        ModelEntity const entity({3, 1, -2}, 0.1f, path.string());
        ASSERT_GT(entity.model.meshCount, 0);
        EXPECT_EQ(entity.model.meshes[0].vaoId, 0u) << "nothing is uploaded without a window";
        AABB const& box = entity.getAABB();
        EXPECT_GT(box.size.y, 0.0f);
        EXPECT_FLOAT_EQ(box.min.x + 0.5f * box.size.x, 3.0f);
        EXPECT_FLOAT_EQ(box.min.y + 0.5f * box.size.y, 1.0f);
        raylib::BoundingBox const b = raylib::GetModelBoundingBox(entity.model);
        raylib::Vector3 const drawnMin{entity.drawPosition().x + b.min.x * 0.1f, entity.drawPosition().y + b.min.y * 0.1f,
                                       entity.drawPosition().z + b.min.z * 0.1f};
        EXPECT_VECTOR_EQ(drawnMin, box.min.x, box.min.y, box.min.z);
    }
}

TEST(ModelEntity, MissingFileIsUsedAsRaylibReturnsIt) {
    LogCapture log;
    ModelEntity const entity({0, 0, 0}, 0.1f, "assets/models/no-such-model.vox");
    EXPECT_EQ(log.text(), "DEBUG: Model [assets/models/no-such-model.vox] Dimensions: (0, 0, 0)\n");
}

}  // namespace
