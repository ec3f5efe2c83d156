// Greedy meshes of voxel grids: merged quads, but exactly the surface of a
// face for every voxel side that shows, with its colour; checked against
// that surface worked out voxel by voxel, and against raylib's own loader.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <tuple>

#include "model-loader.h"
#include "vox-mesh.h"

namespace {

namespace fs = std::filesystem;

// A face of one voxel: its normal, the voxel (in voxels) and its colour.
using UnitFace = std::tuple<int, int, int, int, int, int, int, int, int, int>;

// Every unit face the quads of the meshes cover, sorted.
std::vector<UnitFace> unitFaces(raylib::Mesh const* meshes, int count) {
    std::vector<UnitFace> faces;
    for (raylib::Mesh const& mesh : std::vector(meshes, meshes + count)) {
        for (int quad = 0; quad < mesh.vertexCount / 4; ++quad) {
            float const* v = mesh.vertices + quad * 12;
            float const* n = mesh.normals + quad * 12;
            unsigned char const* c = mesh.colors + quad * 16;
            int low[3], high[3];
            for (int axis = 0; axis < 3; ++axis) {
                auto const [min, max] = std::minmax({v[axis], v[3 + axis], v[6 + axis], v[9 + axis]});
                EXPECT_TRUE(n[axis] == 0 || min == max) << "a quad flat across its normal";
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

// The same, voxel by voxel: a face wherever the neighbour is empty.
std::vector<UnitFace> exposedFaces(VoxelGrid const& grid) {
    std::vector<UnitFace> faces;
    for (int x = 0; x < grid.sizeX; ++x)
        for (int y = 0; y < grid.sizeY; ++y)
            for (int z = 0; z < grid.sizeZ; ++z) {
                if (grid.at(x, y, z) == 0) continue;
                raylib::Color const c = grid.palette[grid.at(x, y, z)];
                for (int axis = 0; axis < 3; ++axis) {
                    for (int sign : {-1, 1}) {
                        int n[3] = {0, 0, 0};
                        n[axis] = sign;
                        if (grid.at(x + n[0], y + n[1], z + n[2]) != 0) continue;
                        faces.emplace_back(n[0], n[1], n[2], x, y, z, c.r, c.g, c.b, c.a);
                    }
                }
            }
    std::sort(faces.begin(), faces.end());
    return faces;
}

// Whether a quad (four corners) turns counter-clockwise seen from outside,
// as raylib draws front faces.
bool facesOut(float const* v, float const* n) {
    auto const corner = [&](int i) { return raylib::Vector3{v[3 * i], v[3 * i + 1], v[3 * i + 2]}; };
    raylib::Vector3 const turn = raylib::Vector3CrossProduct(raylib::Vector3Subtract(corner(1), corner(0)),
                                                             raylib::Vector3Subtract(corner(2), corner(0)));
    return raylib::Vector3DotProduct(turn, {n[0], n[1], n[2]}) > 0;
}

VoxelGrid gridOf(int sizeX, int sizeY, int sizeZ, auto colorAt) {
    VoxelGrid grid(sizeX, sizeY, sizeZ);
    for (int i = 1; i < 256; ++i) grid.palette[i] = {uint8_t(i), uint8_t(255 - i), uint8_t(i * 7), 255};
    for (int x = 0; x < sizeX; ++x)
        for (int y = 0; y < sizeY; ++y)
            for (int z = 0; z < sizeZ; ++z) {
                if (uint8_t const color = colorAt(x, y, z)) grid.set(x, y, z, color);
            }
    return grid;
}

TEST(VoxMeshes, CoverExactlyTheExposedFacesInFewerQuads) {
    struct Case {
        char const* name;
        VoxelGrid grid;
        int meshes;
        int quads = 0;  // when known: exactly this many
    };
    auto const inside = [](int x, int y, int z) { return std::min({x, y, z}) >= 3 && std::max({x, y, z}) < 8; };
    Case const cases[] = {
        // Rows of two colours that run and stop at different places, and
        // holes: quads grow along rows and over rows that match in part only.
        {"patches",
         gridOf(20, 6, 17,
                [](int x, int y, int z) { return uint8_t((x * x + z) % 7 < 5 ? 1 + (x / 3 + y / 2 + z / 5) % 3 : 0); }),
         6},
        {"an L", gridOf(9, 3, 9, [](int x, int, int z) { return uint8_t(x < 3 || z < 2 ? 4 : 0); }), 6},
        // Runs that start inside a block, not at its corner: a side a quad.
        {"a box off the corner",
         gridOf(10, 10, 10, [&](int x, int y, int z) { return uint8_t(inside(x, y, z) ? 5 : 0); }), 6, 6},
        // A checkerboard merges nothing: its 128 x 128 top faces need two
        // meshes of at most 65532 vertices, and so does its bottom.
        {"a checkerboard", gridOf(128, 1, 128, [](int x, int, int z) { return uint8_t(1 + (x + z) % 2); }), 8},
    };
    for (auto const& c : cases) {
        std::vector<raylib::Mesh> const meshes = buildVoxMeshes(c.grid).value();
        auto const faces = exposedFaces(c.grid);
        EXPECT_EQ(unitFaces(meshes.data(), static_cast<int>(meshes.size())), faces) << c.name;
        EXPECT_EQ(static_cast<int>(meshes.size()), c.meshes) << c.name;
        int quads = 0;
        for (raylib::Mesh const& mesh : meshes) {
            EXPECT_LE(mesh.vertexCount, MAX_MESH_VERTICES) << c.name;
            for (int quad = 0; quad < mesh.vertexCount / 4; ++quad)
                EXPECT_TRUE(facesOut(mesh.vertices + 12 * quad, mesh.normals + 12 * quad)) << c.name << " " << quad;
            quads += mesh.vertexCount / 4;
            freeMeshArrays(mesh);
        }
        if (c.quads) {
            EXPECT_EQ(quads, c.quads) << c.name;
        } else if (c.meshes == 6) {
            EXPECT_LT(quads * 2, static_cast<int>(faces.size())) << c.name << ": merged";
        }
    }
}

// The shade a linear filter takes from the shaded meshes' texture at a
// point on the floor's top (y = 0.25), from the quad holding it; -1 where
// no quad does.
float floorShadeAt(ShadedMeshes const& shaded, float x, float z) {
    for (raylib::Mesh const& mesh : shaded.meshes) {
        for (int quad = 0; quad < mesh.vertexCount / 4; ++quad) {
            float const* v = mesh.vertices + 12 * quad;
            float const* t = mesh.texcoords + 8 * quad;
            if (mesh.normals[12 * quad + 1] <= 0 || v[1] != 0.25f) continue;
            // The corners at the quad's low x and z, and one step along each.
            int low = 0, alongX = 0, alongZ = 0;
            for (int k = 1; k < 4; ++k) {
                if (v[3 * k] + v[3 * k + 2] < v[3 * low] + v[3 * low + 2]) low = k;
            }
            for (int k = 0; k < 4; ++k) {
                if (v[3 * k + 2] == v[3 * low + 2] && k != low) alongX = k;
                if (v[3 * k] == v[3 * low] && k != low) alongZ = k;
            }
            float const fx = (x - v[3 * low]) / (v[3 * alongX] - v[3 * low]);
            float const fz = (z - v[3 * low + 2]) / (v[3 * alongZ + 2] - v[3 * low + 2]);
            if (fx < 0 || fx > 1 || fz < 0 || fz > 1) continue;
            auto const texcoord = [&](int i) {
                return t[2 * low + i] + fx * (t[2 * alongX + i] - t[2 * low + i]) +
                       fz * (t[2 * alongZ + i] - t[2 * low + i]);
            };
            float const tx = texcoord(0) * shaded.shades.width - 0.5f;
            float const ty = texcoord(1) * shaded.shades.height - 0.5f;
            int const x0 = static_cast<int>(std::floor(tx)), y0 = static_cast<int>(std::floor(ty));
            auto const texel = [&](int dx, int dy) {
                return float(shaded.shades.texels[(y0 + dy) * shaded.shades.width + x0 + dx]);
            };
            float const ax = tx - x0, ay = ty - y0;
            return (texel(0, 0) * (1 - ax) + texel(1, 0) * ax) * (1 - ay) +
                   (texel(0, 1) * (1 - ax) + texel(1, 1) * ax) * ay;
        }
    }
    return -1;
}

// Shaded, the quads are those of the plain meshes, colours and all, and
// their texture darkens a face's corner with the voxels around it in front
// of the face: where a floor meets a wall, and under a voxel standing on
// the floor's diagonal, but not at the floor's outer edge. The shade blends
// across each voxel's face, not across the whole quad.
TEST(VoxMeshes, ShadedCornersDarkenWhereVoxelsMeet) {
    VoxelGrid const grid =
        gridOf(6, 2, 6, [](int x, int y, int z) { return uint8_t(y == 0 || z == 0 || (x == 4 && z == 4) ? 1 : 0); });
    std::vector<raylib::Mesh> const plain = buildVoxMeshes(grid).value();
    ShadedMeshes const shaded = buildShadedVoxMeshes(grid).value();
    EXPECT_EQ(unitFaces(shaded.meshes.data(), static_cast<int>(shaded.meshes.size())),
              unitFaces(plain.data(), static_cast<int>(plain.size())));
    auto const quads = [](std::vector<raylib::Mesh> const& meshes) {
        int count = 0;
        for (raylib::Mesh const& mesh : meshes) count += mesh.vertexCount / 4;
        return count;
    };
    EXPECT_EQ(quads(shaded.meshes), quads(plain)) << "shading takes no more quads";
    struct Point {
        char const* where;
        float x, z;
        float shade;
    };
    Point const points[] = {
        {"at the wall's foot", 0.5f, 0.25f, 255 * CORNER_LIGHT[2]},
        {"a voxel from the wall", 0.5f, 0.5f, 255},
        {"halfway up a voxel's face from the wall", 0.5f, 0.375f, 255 * (1 + CORNER_LIGHT[2]) / 2},
        {"where the wall's foot meets the outer edge", 0, 0.25f, 255 * CORNER_LIGHT[1]},
        {"the floor's outer edge", 0, 1.0f, 255},
        {"the far edge", 1.5f, 1.5f, 255},
        {"at the standing voxel's foot", 1.125f, 1.0f, 255 * CORNER_LIGHT[1]},
        {"a face under the standing voxel's diagonal", 0.875f, 0.875f, 255 * (3 + CORNER_LIGHT[1]) / 4},
    };
    for (Point const& p : points) EXPECT_NEAR(floorShadeAt(shaded, p.x, p.z), p.shade, 1.0f) << p.where;
    for (raylib::Mesh const& mesh : plain) freeMeshArrays(mesh);
    for (raylib::Mesh const& mesh : shaded.meshes) freeMeshArrays(mesh);
    EXPECT_FALSE(shaded.sheen);
    // A light shows its colour, and glass lets the light through: a floor
    // of either is not darkened at the wall's foot; a metal's is, and has a
    // sheen.
    for (VoxMaterial::Kind const kind : {VoxMaterial::EMIT, VoxMaterial::GLASS, VoxMaterial::METAL}) {
        VoxelGrid unshaded = gridOf(6, 2, 6, [](int, int y, int z) { return uint8_t(y == 0 ? 1 : z == 0 ? 2 : 0); });
        unshaded.materials[1] = {kind, 0.5f, 0};
        ShadedMeshes const lit = buildShadedVoxMeshes(unshaded).value();
        bool const metal = kind == VoxMaterial::METAL;
        EXPECT_NEAR(floorShadeAt(lit, 0.5f, 0.25f), metal ? 255 * CORNER_LIGHT[2] : 255, 1.0f)
            << "material " << int(kind);
        EXPECT_EQ(lit.sheen, metal) << "material " << int(kind);
        for (raylib::Mesh const& mesh : lit.meshes) freeMeshArrays(mesh);
    }
}

// An emissive voxel glows from the middle of the lights of its cell, in
// their mean colour; a voxel that does not glow adds nothing.
TEST(VoxMeshes, GlowPointsSitAmidTheLightsOfEachCell) {
    VoxelGrid grid = gridOf(12, 4, 8, [](int x, int y, int z) {
        if (y == 2 && z == 3 && (x == 1 || x == 2)) return uint8_t(x);
        if (x == 9 && y == 0 && z == 5) return uint8_t(1);
        return uint8_t(x == 5 ? 3 : 0);
    });
    grid.materials[1] = {VoxMaterial::EMIT, 0.5f, 0};
    grid.materials[2] = {VoxMaterial::EMIT, 1.0f, 0};
    std::vector<GlowPoint> const points = glowPointsOf(grid);
    ASSERT_EQ(points.size(), 2u);
    raylib::Vector3 const middles[2] = {{2, 2.5f, 3.5f}, {9.5f, 0.5f, 5.5f}};
    for (int i = 0; i < 2; ++i) {
        EXPECT_NEAR(points[i].position.x, middles[i].x * VOXEL_SIDE, 1e-5f) << i;
        EXPECT_NEAR(points[i].position.y, middles[i].y * VOXEL_SIDE, 1e-5f) << i;
        EXPECT_NEAR(points[i].position.z, middles[i].z * VOXEL_SIDE, 1e-5f) << i;
    }
    EXPECT_EQ(points[0].color.r, 2) << "between colours 1 and 2, rounded";
    EXPECT_FLOAT_EQ(points[0].strength, 0.75f);
    EXPECT_FLOAT_EQ(points[1].strength, 0.5f);
}

// Our real models and the sample files without a scene graph, against
// raylib's loader: the same faces of the same voxels, with the same normals
// and colours, as the game showed them when raylib read them.
TEST(VoxMeshes, CoverTheSurfaceRaylibsLoaderBuilds) {
    std::vector<std::pair<fs::path, bool>> files;
    for (char const* name : {"tree", "rock", "lamp_post"})
        files.emplace_back(fs::path("assets/models") / (std::string(name) + ".vox"), true);
    if (fs::exists(TESSARINE_SAMPLES_DIR)) {
        for (auto const& file : fs::directory_iterator(TESSARINE_SAMPLES_DIR)) {
            std::ifstream in(file.path(), std::ios::binary);
            std::string const bytes(std::istreambuf_iterator<char>(in), {});
            if (file.path().extension() == ".vox" && bytes.find("nTRN") == std::string::npos)
                files.emplace_back(file.path(), bytes.find("RGBA") != std::string::npos);
        }
    } else {
        std::printf("No sample files: %s is absent; only our own models are compared\n", TESSARINE_SAMPLES_DIR);
    }
    for (auto const& [file, coloured] : files) {
        // raylib leaves a file without a palette of its own uncoloured.
        if (!coloured) continue;
        LoadedModel const ours(file.string());
        raylib::Model const theirs = raylib::LoadModel(file.c_str());
        EXPECT_EQ(unitFaces(ours.model.meshes, ours.model.meshCount), unitFaces(theirs.meshes, theirs.meshCount))
            << file;
        raylib::UnloadModel(theirs);
    }
}

}  // namespace
