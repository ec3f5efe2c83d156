// Our .vox meshes against those raylib's loader builds from the same files:
// merged quads, but exactly the same surface: the same faces of the same
// voxels, with the same normals and colours.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <tuple>

#include "model-loader.h"

namespace {

namespace fs = std::filesystem;

// A face of one voxel: its normal, the voxel's lowest corner (in voxels)
// and its colour.
using UnitFace = std::tuple<int, int, int, int, int, int, int, int, int, int>;

// Every unit face a model's quads cover, sorted.
std::vector<UnitFace> unitFaces(raylib::Model const& model) {
    std::vector<UnitFace> faces;
    for (int m = 0; m < model.meshCount; ++m) {
        raylib::Mesh const& mesh = model.meshes[m];
        for (int quad = 0; quad < mesh.vertexCount / 4; ++quad) {
            float const* v = mesh.vertices + quad * 12;
            float const* n = mesh.normals + quad * 12;
            unsigned char const* c = mesh.colors + quad * 16;
            int low[3], high[3];
            for (int axis = 0; axis < 3; ++axis) {
                auto const [min, max] = std::minmax({v[axis], v[3 + axis], v[6 + axis], v[9 + axis]});
                low[axis] = static_cast<int>(std::lround(min / 0.25f));
                high[axis] = std::max(low[axis] + 1, static_cast<int>(std::lround(max / 0.25f)));
                // The face lies on the voxel's side its normal points to.
                if (n[axis] > 0) low[axis] -= 1, high[axis] -= 1;
            }
            for (int x = low[0]; x < high[0]; ++x)
                for (int y = low[1]; y < high[1]; ++y)
                    for (int z = low[2]; z < high[2]; ++z)
                        faces.emplace_back(n[0], n[1], n[2], x, y, z, c[0], c[1], c[2], c[3]);
        }
    }
    std::sort(faces.begin(), faces.end());
    return faces;
}

TEST(VoxMeshes, CoverTheSurfaceRaylibsLoaderBuilds) {
    std::vector<fs::path> files;
    for (char const* name : {"tree", "rock", "lamp_post"})
        files.push_back(fs::path("assets/models") / (std::string(name) + ".vox"));
    if (fs::exists(TESSARINE_SAMPLES_DIR)) {
        for (auto const& file : fs::directory_iterator(TESSARINE_SAMPLES_DIR)) {
            if (file.path().extension() == ".vox") files.push_back(file.path());
        }
    } else {
        std::printf("No sample files: %s is absent; only our own models are compared\n", TESSARINE_SAMPLES_DIR);
    }
    for (fs::path const& file : files) {
        LoadedModel const loaded(file.string());
        raylib::Model const& ours = loaded.model;
        raylib::Model const theirs = raylib::LoadModel(file.c_str());
        auto const faces = unitFaces(theirs);
        EXPECT_EQ(unitFaces(ours), faces) << file;
        int quads = 0;
        for (int m = 0; m < ours.meshCount; ++m) quads += ours.meshes[m].vertexCount / 4;
        EXPECT_LT(quads, static_cast<int>(faces.size())) << file << ": merged into fewer quads";
        std::printf("%s: %zu faces in %d quads\n", file.filename().c_str(), faces.size(), quads);
        raylib::UnloadModel(theirs);
    }
}

}  // namespace
