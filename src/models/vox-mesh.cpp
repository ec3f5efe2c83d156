#include "vox-mesh.h"

#include <algorithm>

namespace {

constexpr float VOXEL_SIDE = 0.25f;

// The corners of a unit cube, and the four corners of each face, counter-
// clockwise seen from outside, in the order -x, +x, -y, +y, -z, +z; a quad
// has the corners of the face of the box it spans.
constexpr int CORNERS[8][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}, {0, 0, 1}, {1, 0, 1}, {0, 1, 1}, {1, 1, 1}};
constexpr int FACE_CORNERS[6][4] = {{0, 4, 6, 2}, {5, 1, 3, 7}, {0, 1, 5, 4}, {6, 7, 3, 2}, {1, 0, 2, 3}, {4, 5, 7, 6}};

// The face of the given side of the box from low to high (voxel units).
void addFace(QuadList& quads, int face, int const low[3], int const high[3], raylib::Color color) {
    float normal[3] = {0, 0, 0};
    normal[face / 2] = face % 2 ? 1.0f : -1.0f;
    for (int corner : FACE_CORNERS[face]) {
        float position[3];
        for (int axis = 0; axis < 3; ++axis) {
            position[axis] = static_cast<float>(CORNERS[corner][axis] ? high[axis] : low[axis]) * VOXEL_SIDE;
        }
        quads.addVertex(position, normal, color);
    }
}

// The faces of one side (face: -x, +x, -y, +y, -z, +z) of the voxels in
// one layer along that side's axis, merged greedily: each quad grows along
// u as far as the colour runs, then along v while whole rows match.
void addLayer(VoxelGrid const& grid, int face, int layer, int const size[3], QuadList& quads) {
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
            addFace(quads, face, low, high, grid.palette[color]);
        }
    }
}

}  // namespace

std::vector<raylib::Mesh> buildVoxMeshes(VoxelGrid const& grid) {
    int const size[3] = {grid.sizeX, grid.sizeY, grid.sizeZ};
    std::vector<raylib::Mesh> meshes;
    for (int face = 0; face < 6; ++face) {
        QuadList quads;
        for (int layer = 0; layer < size[face / 2]; ++layer) addLayer(grid, face, layer, size, quads);
        for (int first = 0; first < quads.vertexCount(); first += MAX_MESH_VERTICES) {
            meshes.push_back(meshOf(quads, first));
        }
    }
    return meshes;
}
