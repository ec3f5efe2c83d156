// Our own .vox meshes against those raylib's loader builds from the same
// files: the same vertices, normals, colours and triangles.
#include <gtest/gtest.h>

#include <filesystem>

#include "model-loader.h"

namespace {

namespace fs = std::filesystem;

template <typename T>
std::vector<T> arrayOf(T const* first, int count) {
    return first ? std::vector<T>(first, first + count) : std::vector<T>();
}

TEST(VoxMeshes, SameAsRaylibsLoaderBuilds) {
    std::vector<fs::path> files;
    for (char const* name : {"tree", "rock", "lamp_post"}) files.push_back(fs::path("assets/models") / (std::string(name) + ".vox"));
    if (fs::exists(TESSARINE_SAMPLES_DIR)) {
        for (auto const& file : fs::directory_iterator(TESSARINE_SAMPLES_DIR)) {
            if (file.path().extension() == ".vox") files.push_back(file.path());
        }
    } else {
        std::printf("No sample files: %s is absent; only our own models are compared\n", TESSARINE_SAMPLES_DIR);
    }
    for (fs::path const& file : files) {
        SCOPED_TRACE(file);
        raylib::Model const ours = loadModelChecked(file.string());
        raylib::Model const theirs = raylib::LoadModel(file.c_str());
        ASSERT_EQ(ours.meshCount, theirs.meshCount);
        for (int i = 0; i < ours.meshCount; ++i) {
            raylib::Mesh const& a = ours.meshes[i];
            raylib::Mesh const& b = theirs.meshes[i];
            ASSERT_EQ(a.vertexCount, b.vertexCount);
            ASSERT_EQ(a.triangleCount, b.triangleCount);
            EXPECT_EQ(arrayOf(a.vertices, a.vertexCount * 3), arrayOf(b.vertices, b.vertexCount * 3));
            EXPECT_EQ(arrayOf(a.normals, a.vertexCount * 3), arrayOf(b.normals, b.vertexCount * 3));
            EXPECT_EQ(arrayOf(a.colors, a.vertexCount * 4), arrayOf(b.colors, b.vertexCount * 4));
            EXPECT_EQ(arrayOf(a.indices, a.triangleCount * 3), arrayOf(b.indices, b.triangleCount * 3));
            EXPECT_NE(a.vaoId, 0u) << "uploaded, since a window exists";
        }
        raylib::UnloadModel(ours);
        raylib::UnloadModel(theirs);
    }
}

}  // namespace
