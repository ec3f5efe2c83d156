#include "vox-mesh.h"

#include <algorithm>
#include <array>

#include "greedy-box.h"

namespace {

constexpr int B = VoxelGrid::BLOCK;

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

// The faces of one side (face: -x, +x, -y, +y, -z, +z) of the voxels of one
// block in one layer along that side's axis, merged greedily within the
// block: each quad grows along u as far as the colour runs, then along v
// while whole rows match.
void addLayer(VoxelGrid const& grid, uint8_t const* cells, int const origin[3], int face, int layer, QuadList& quads) {
    int const axis = face / 2, u = (axis + 1) % 3, v = (axis + 2) % 3;
    int const step = face % 2 ? 1 : -1;
    uint8_t mask[B * B];
    for (int j = 0; j < B; ++j) {
        for (int i = 0; i < B; ++i) {
            int local[3];
            local[axis] = layer, local[u] = i, local[v] = j;
            uint8_t const color = cells[(local[0] * B + local[1]) * B + local[2]];
            int next[3] = {origin[0] + local[0], origin[1] + local[1], origin[2] + local[2]};
            next[axis] += step;
            mask[j * B + i] = color != 0 && grid.at(next[0], next[1], next[2]) == 0 ? color : 0;
        }
    }
    for (int j = 0; j < B; ++j) {
        for (int i = 0; i < B; ++i) {
            uint8_t const color = mask[j * B + i];
            if (color == 0) continue;
            auto const sameColor = [&](std::array<int, 2> const& c) { return mask[c[1] * B + c[0]] == color; };
            std::array<int, 2> const size = growBox<2>({i, j}, B, sameColor);
            int const width = size[0], height = size[1];
            for (int row = j; row < j + height; ++row) std::fill_n(mask + row * B + i, width, 0);
            int low[3], high[3];
            low[axis] = origin[axis] + layer, high[axis] = low[axis] + 1;
            low[u] = origin[u] + i, high[u] = low[u] + width;
            low[v] = origin[v] + j, high[v] = low[v] + height;
            addFace(quads, face, low, high, grid.palette[color]);
        }
    }
}

}  // namespace

std::optional<std::vector<raylib::Mesh>> buildVoxMeshes(VoxelGrid const& grid) {
    QuadList quads[6];
    for (int bx = 0; bx < grid.blocksAlong(0); ++bx) {
        for (int by = 0; by < grid.blocksAlong(1); ++by) {
            for (int bz = 0; bz < grid.blocksAlong(2); ++bz) {
                uint8_t const* cells = grid.block(bx, by, bz);
                if (!cells) continue;
                int const origin[3] = {bx * B, by * B, bz * B};
                size_t vertices = 0;
                for (int face = 0; face < 6; ++face) {
                    for (int layer = 0; layer < B; ++layer) addLayer(grid, cells, origin, face, layer, quads[face]);
                    vertices += static_cast<size_t>(quads[face].vertexCount());
                }
                if (vertices > 4 * MAX_MODEL_QUADS) return std::nullopt;
            }
        }
    }
    std::vector<raylib::Mesh> meshes;
    for (QuadList const& faces : quads) {
        for (int first = 0; first < faces.vertexCount(); first += MAX_MESH_VERTICES) {
            meshes.push_back(meshOf(faces, first));
        }
    }
    return meshes;
}
