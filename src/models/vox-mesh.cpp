#include "vox-mesh.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr float VOXEL_SIDE = 0.25f;

// The corners of a voxel, and the four corners of each face, counter-clockwise
// seen from outside, in the order -x, +x, -y, +y, -z, +z.
constexpr int CORNERS[8][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}, {0, 0, 1}, {1, 0, 1}, {0, 1, 1}, {1, 1, 1}};
constexpr int FACE_CORNERS[6][4] = {{0, 2, 6, 4}, {5, 7, 3, 1}, {0, 4, 5, 1}, {6, 2, 3, 7}, {1, 3, 2, 0}, {4, 6, 7, 5}};
constexpr int NORMALS[6][3] = {{-1, 0, 0}, {1, 0, 0}, {0, -1, 0}, {0, 1, 0}, {0, 0, -1}, {0, 0, 1}};

// Every quad's vertices, normals and colours, in one long run.
struct Quads {
    std::vector<float> vertices, normals;
    std::vector<unsigned char> colors;

    int vertexCount() const { return static_cast<int>(vertices.size() / 3); }

    void addFace(int x, int y, int z, int face, raylib::Color color) {
        for (int corner : FACE_CORNERS[face]) {
            int const cell[3] = {x, y, z};
            for (int axis = 0; axis < 3; ++axis) {
                vertices.push_back((static_cast<float>(CORNERS[corner][axis]) + static_cast<float>(cell[axis])) * VOXEL_SIDE);
                normals.push_back(static_cast<float>(NORMALS[face][axis]));
            }
            colors.insert(colors.end(), {color.r, color.g, color.b, color.a});
        }
    }
};

// A copy of count elements from first, in memory raylib frees.
template <typename T>
T* rayCopy(T const* first, int count) {
    auto* copy = static_cast<T*>(raylib::MemAlloc(static_cast<unsigned>(count * sizeof(T))));
    std::memcpy(copy, first, count * sizeof(T));
    return copy;
}

// The vertices from first on, at most MAX_VOX_MESH_VERTICES of them, as one
// mesh: two triangles a quad.
raylib::Mesh meshOf(Quads const& quads, int first) {
    raylib::Mesh mesh{};
    mesh.vertexCount = std::min(MAX_VOX_MESH_VERTICES, quads.vertexCount() - first);
    mesh.triangleCount = mesh.vertexCount / 4 * 2;
    mesh.vertices = rayCopy(quads.vertices.data() + first * 3, mesh.vertexCount * 3);
    mesh.normals = rayCopy(quads.normals.data() + first * 3, mesh.vertexCount * 3);
    mesh.colors = rayCopy(quads.colors.data() + first * 4, mesh.vertexCount * 4);
    mesh.indices = static_cast<unsigned short*>(raylib::MemAlloc(mesh.triangleCount * 3 * sizeof(unsigned short)));
    for (int quad = 0, index = 0; quad < mesh.vertexCount / 4; ++quad) {
        for (int corner : {0, 2, 1, 0, 3, 2}) mesh.indices[index++] = static_cast<unsigned short>(quad * 4 + corner);
    }
    return mesh;
}

}  // namespace

std::vector<raylib::Mesh> buildVoxMeshes(VoxelGrid const& grid) {
    Quads quads;
    for (int x = 0; x < grid.sizeX; ++x) {
        for (int z = 0; z < grid.sizeZ; ++z) {
            for (int y = 0; y < grid.sizeY; ++y) {
                uint8_t const color = grid.at(x, y, z);
                if (color == 0) continue;
                for (int face = 0; face < 6; ++face) {
                    int const* n = NORMALS[face];
                    if (grid.at(x + n[0], y + n[1], z + n[2]) == 0) quads.addFace(x, y, z, face, grid.palette[color]);
                }
            }
        }
    }
    std::vector<raylib::Mesh> meshes;
    for (int first = 0; first < quads.vertexCount(); first += MAX_VOX_MESH_VERTICES) meshes.push_back(meshOf(quads, first));
    return meshes;
}
