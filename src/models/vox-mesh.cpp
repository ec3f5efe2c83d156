#include "vox-mesh.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr float VOXEL_SIDE = 0.25f;

// The corners of a unit cube, and the four corners of each face, counter-
// clockwise seen from outside, in the order -x, +x, -y, +y, -z, +z; a quad
// has the corners of the face of the box it spans.
constexpr int CORNERS[8][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}, {0, 0, 1}, {1, 0, 1}, {0, 1, 1}, {1, 1, 1}};
constexpr int FACE_CORNERS[6][4] = {{0, 2, 6, 4}, {5, 7, 3, 1}, {0, 4, 5, 1}, {6, 2, 3, 7}, {1, 3, 2, 0}, {4, 6, 7, 5}};

// Every quad's vertices, normals and colours, in one long run.
struct Quads {
    std::vector<float> vertices, normals;
    std::vector<unsigned char> colors;

    int vertexCount() const { return static_cast<int>(vertices.size() / 3); }

    // The face of the given side of the box from low to high (voxel units).
    void add(int face, int const low[3], int const high[3], raylib::Color color) {
        for (int corner : FACE_CORNERS[face]) {
            for (int axis = 0; axis < 3; ++axis) {
                vertices.push_back(static_cast<float>(CORNERS[corner][axis] ? high[axis] : low[axis]) * VOXEL_SIDE);
                normals.push_back(axis == face / 2 ? (face % 2 ? 1.0f : -1.0f) : 0.0f);
            }
            colors.insert(colors.end(), {color.r, color.g, color.b, color.a});
        }
    }
};

// The faces of one side (face: -x, +x, -y, +y, -z, +z) of the voxels in
// one layer along that side's axis, merged greedily: each quad grows along
// u as far as the colour runs, then along v while whole rows match.
void addLayer(VoxelGrid const& grid, int face, int layer, int const size[3], Quads& quads) {
    int const axis = face / 2, u = (axis + 1) % 3, v = (axis + 2) % 3;
    int const step = face % 2 ? 1 : -1;
    std::vector<uint8_t> mask(static_cast<size_t>(size[u]) * size[v]);
    auto const colorAt = [&](int cell[3]) { return grid.at(cell[0], cell[1], cell[2]); };
    for (int j = 0; j < size[v]; ++j) {
        for (int i = 0; i < size[u]; ++i) {
            int cell[3];
            cell[axis] = layer, cell[u] = i, cell[v] = j;
            uint8_t const color = colorAt(cell);
            cell[axis] += step;
            mask[static_cast<size_t>(j) * size[u] + i] = color != 0 && colorAt(cell) == 0 ? color : 0;
        }
    }
    for (int j = 0; j < size[v]; ++j) {
        for (int i = 0; i < size[u]; ++i) {
            uint8_t const color = mask[static_cast<size_t>(j) * size[u] + i];
            if (color == 0) continue;
            int width = 1, height = 1;
            while (i + width < size[u] && mask[static_cast<size_t>(j) * size[u] + i + width] == color) ++width;
            auto const rowMatches = [&](int row) {
                for (int k = i; k < i + width; ++k) {
                    if (mask[static_cast<size_t>(row) * size[u] + k] != color) return false;
                }
                return true;
            };
            while (j + height < size[v] && rowMatches(j + height)) ++height;
            for (int row = j; row < j + height; ++row) {
                std::fill_n(mask.begin() + static_cast<size_t>(row) * size[u] + i, width, 0);
            }
            int low[3], high[3];
            low[axis] = layer, high[axis] = layer + 1;
            low[u] = i, high[u] = i + width;
            low[v] = j, high[v] = j + height;
            quads.add(face, low, high, grid.palette[color]);
        }
    }
}

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
    int const size[3] = {grid.sizeX, grid.sizeY, grid.sizeZ};
    std::vector<raylib::Mesh> meshes;
    for (int face = 0; face < 6; ++face) {
        Quads quads;
        for (int layer = 0; layer < size[face / 2]; ++layer) addLayer(grid, face, layer, size, quads);
        for (int first = 0; first < quads.vertexCount(); first += MAX_VOX_MESH_VERTICES) {
            meshes.push_back(meshOf(quads, first));
        }
    }
    return meshes;
}
