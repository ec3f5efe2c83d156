#include "vox-mesh.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <map>

#include "greedy-box.h"

namespace {

constexpr int B = VoxelGrid::BLOCK;

// The corners of a unit cube, and the four corners of each face, counter-
// clockwise seen from outside, in the order -x, +x, -y, +y, -z, +z; a quad
// has the corners of the face of the box it spans.
constexpr int CORNERS[8][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}, {0, 0, 1}, {1, 0, 1}, {0, 1, 1}, {1, 1, 1}};
constexpr int FACE_CORNERS[6][4] = {{0, 4, 6, 2}, {5, 1, 3, 7}, {0, 1, 5, 4}, {6, 7, 3, 2}, {1, 0, 2, 3}, {4, 5, 7, 6}};

// The light a corner of a face keeps, by its occlusion: how many of the
// three voxels around it in front of the face are filled, both sides
// filled counting as all three.

raylib::Color shaded(raylib::Color color, int occlusion) {
    auto const dim = [&](unsigned char c) { return static_cast<unsigned char>(c * CORNER_LIGHT[occlusion] + 0.5f); };
    return {dim(color.r), dim(color.g), dim(color.b), color.a};
}

// The occlusion of the four corners of a voxel's face (in the order of
// FACE_CORNERS), two bits each.
int occlusionOf(VoxelGrid const& grid, int const voxel[3], int face) {
    int const axis = face / 2, u = (axis + 1) % 3, v = (axis + 2) % 3;
    int front[3] = {voxel[0], voxel[1], voxel[2]};
    front[axis] += face % 2 ? 1 : -1;
    auto const filled = [&](int du, int dv) {
        int at[3] = {front[0], front[1], front[2]};
        at[u] += du, at[v] += dv;
        return grid.at(at[0], at[1], at[2]) != 0;
    };
    int corners = 0;
    for (int k = 0; k < 4; ++k) {
        int const corner = FACE_CORNERS[face][k];
        int const du = CORNERS[corner][u] ? 1 : -1, dv = CORNERS[corner][v] ? 1 : -1;
        bool const side1 = filled(du, 0), side2 = filled(0, dv);
        int const occlusion = side1 && side2 ? 3 : side1 + side2 + filled(du, dv);
        corners |= occlusion << (2 * k);
    }
    return corners;
}

// Whether the occlusion of a face's corners (as occlusionOf gives it) stays
// the same along the axis `along` of its plane, `other` being the plane's
// other axis: the face may then merge with its like along it, its shade
// still varying only across.
bool evenAlong(int face, int occlusion, int along, int other) {
    for (int k = 0; k < 4; ++k) {
        for (int m = k + 1; m < 4; ++m) {
            int const a = FACE_CORNERS[face][k], b = FACE_CORNERS[face][m];
            bool const acrossAlong = CORNERS[a][along] != CORNERS[b][along] && CORNERS[a][other] == CORNERS[b][other];
            if (acrossAlong && (occlusion >> (2 * k) & 3) != (occlusion >> (2 * m) & 3)) return false;
        }
    }
    return true;
}

// The face of the given side of the box from low to high (voxel units),
// its corners shaded by their occlusion (two bits each, in the order of
// FACE_CORNERS). Its two triangles meet on the diagonal between the corners
// that differ the most, so that a corner's shade spreads evenly over both.
void addFace(QuadList& quads, int face, int const low[3], int const high[3], raylib::Color color, int occlusion,
             float const* material) {
    float normal[3] = {0, 0, 0};
    normal[face / 2] = face % 2 ? 1.0f : -1.0f;
    int light[4];
    for (int k = 0; k < 4; ++k) light[k] = occlusion >> (2 * k) & 3;
    int const first = std::abs(light[1] - light[3]) > std::abs(light[0] - light[2]) ? 1 : 0;
    for (int n = 0; n < 4; ++n) {
        int const k = (first + n) % 4, corner = FACE_CORNERS[face][k];
        float position[3];
        for (int axis = 0; axis < 3; ++axis) {
            position[axis] = static_cast<float>(CORNERS[corner][axis] ? high[axis] : low[axis]) * VOXEL_SIDE;
        }
        if (material) {
            quads.addVertex(position, normal, shaded(color, light[k]), material);
        } else {
            quads.addVertex(position, normal, shaded(color, light[k]));
        }
    }
}

// What a material gives the rich looks' programs: how far a colour shows
// whatever the light, and how strong a sun's sheen it has.
float glowOf(VoxMaterial const& material) {
    return material.kind == VoxMaterial::EMIT ? material.amount : 0.0f;
}

float sheenOf(VoxMaterial const& material) {
    return material.kind == VoxMaterial::METAL ? material.amount * (1 - material.rough) : 0.0f;
}

bool isGlass(VoxelGrid const& grid, uint8_t color) {
    return grid.materials[color].kind == VoxMaterial::GLASS;
}

// A colour of the palette; glass lets its transparency through.
raylib::Color colorOf(VoxelGrid const& grid, uint8_t index, bool glass) {
    raylib::Color color = grid.palette[index];
    if (glass) color.a = static_cast<unsigned char>(color.a * (1 - grid.materials[index].amount) + 0.5f);
    return color;
}

// The faces of one side (face: -x, +x, -y, +y, -z, +z) of the voxels of one
// block in one layer along that side's axis, merged greedily within the
// block: each quad grows along u as far as the colour runs, then along v
// while whole rows match. Shaded, a face is merged only with faces whose
// corners are as occluded as its own, and only along an axis its shade does
// not vary along.
void addLayer(VoxelGrid const& grid, uint8_t const* cells, int const origin[3], int face, int layer, bool shade,
              bool withMaterials, bool onlyGlass, QuadList& quads) {
    int const axis = face / 2, u = (axis + 1) % 3, v = (axis + 2) % 3;
    int const step = face % 2 ? 1 : -1;
    // A face's colour, and above it its corners' occlusion.
    uint16_t mask[B * B];
    for (int j = 0; j < B; ++j) {
        for (int i = 0; i < B; ++i) {
            int local[3];
            local[axis] = layer, local[u] = i, local[v] = j;
            uint8_t const color = cells[(local[0] * B + local[1]) * B + local[2]];
            int const voxel[3] = {origin[0] + local[0], origin[1] + local[1], origin[2] + local[2]};
            int next[3] = {voxel[0], voxel[1], voxel[2]};
            next[axis] += step;
            uint8_t const neighbour = grid.at(next[0], next[1], next[2]);
            // Shaded, glass is drawn apart: what lies behind it shows.
            bool const glass = shade && isGlass(grid, color);
            bool const shows =
                color != 0 && glass == onlyGlass && (neighbour == 0 || (shade && !glass && isGlass(grid, neighbour)));
            // A light shows its colour, and glass lets light through:
            // nothing shades them.
            bool const shaded = shade && !glass && grid.materials[color].kind != VoxMaterial::EMIT;
            mask[j * B + i] =
                shows ? static_cast<uint16_t>(color | (shaded ? occlusionOf(grid, voxel, face) << 8 : 0)) : 0;
        }
    }
    for (int j = 0; j < B; ++j) {
        for (int i = 0; i < B; ++i) {
            uint16_t const cell = mask[j * B + i];
            if (cell == 0) continue;
            int const occlusion = cell >> 8;
            bool const evenU = evenAlong(face, occlusion, u, v), evenV = evenAlong(face, occlusion, v, u);
            auto const same = [&](std::array<int, 2> const& c) {
                return mask[c[1] * B + c[0]] == cell && (c[0] == i || evenU) && (c[1] == j || evenV);
            };
            std::array<int, 2> const size = growBox<2>({i, j}, B, same);
            int const width = size[0], height = size[1];
            for (int row = j; row < j + height; ++row) std::fill_n(mask + row * B + i, width, 0);
            int low[3], high[3];
            low[axis] = origin[axis] + layer, high[axis] = low[axis] + 1;
            low[u] = origin[u] + i, high[u] = low[u] + width;
            low[v] = origin[v] + j, high[v] = low[v] + height;
            float const material[2] = {glowOf(grid.materials[cell & 0xFF]), sheenOf(grid.materials[cell & 0xFF])};
            addFace(quads, face, low, high, colorOf(grid, cell & 0xFF, onlyGlass), occlusion,
                    withMaterials ? material : nullptr);
        }
    }
}

}  // namespace

std::optional<std::vector<raylib::Mesh>> buildVoxMeshes(VoxelGrid const& grid, bool shade, int* glassMeshes) {
    // The opaque faces, then the glass ones.
    QuadList quads[2][6];
    // Shaded meshes are the rich looks', which show the materials.
    bool const withMaterials = shade && std::any_of(grid.materials.begin(), grid.materials.end(),
                                                    [](auto const& m) { return glowOf(m) > 0 || sheenOf(m) > 0; });
    bool const anyGlass = shade && std::any_of(grid.materials.begin() + 1, grid.materials.end(),
                                               [](auto const& m) { return m.kind == VoxMaterial::GLASS; });
    for (int bx = 0; bx < grid.blocksAlong(0); ++bx) {
        for (int by = 0; by < grid.blocksAlong(1); ++by) {
            for (int bz = 0; bz < grid.blocksAlong(2); ++bz) {
                uint8_t const* cells = grid.block(bx, by, bz);
                if (!cells) continue;
                int const origin[3] = {bx * B, by * B, bz * B};
                size_t vertices = 0;
                for (int glass = 0; glass < (anyGlass ? 2 : 1); ++glass) {
                    for (int face = 0; face < 6; ++face) {
                        for (int layer = 0; layer < B; ++layer)
                            addLayer(grid, cells, origin, face, layer, shade, withMaterials, glass, quads[glass][face]);
                        vertices += static_cast<size_t>(quads[glass][face].vertexCount());
                    }
                }
                if (vertices > 4 * MAX_MODEL_QUADS) return std::nullopt;
            }
        }
    }
    std::vector<raylib::Mesh> meshes;
    size_t opaque = 0;
    for (int glass = 0; glass < 2; ++glass) {
        if (glass) opaque = meshes.size();
        for (QuadList const& faces : quads[glass]) {
            for (int first = 0; first < faces.vertexCount(); first += MAX_MESH_VERTICES) {
                meshes.push_back(meshOf(faces, first));
            }
        }
    }
    if (glassMeshes) *glassMeshes = static_cast<int>(meshes.size() - opaque);
    return meshes;
}

std::vector<GlowPoint> glowPointsOf(VoxelGrid const& grid) {
    bool const anyGlow = std::any_of(grid.materials.begin() + 1, grid.materials.end(),
                                     [](VoxMaterial const& m) { return glowOf(m) > 0; });
    if (!anyGlow) return {};
    // The sums of each cell's glowing voxels: position, colour, glow, count.
    std::map<std::array<int, 3>, std::array<float, 8>> cells;
    for (int bx = 0; bx < grid.blocksAlong(0); ++bx) {
        for (int by = 0; by < grid.blocksAlong(1); ++by) {
            for (int bz = 0; bz < grid.blocksAlong(2); ++bz) {
                uint8_t const* block = grid.block(bx, by, bz);
                if (!block) continue;
                for (int i = 0; i < B * B * B; ++i) {
                    float const glow = block[i] ? glowOf(grid.materials[block[i]]) : 0;
                    if (glow <= 0) continue;
                    int const at[3] = {bx * B + i / (B * B), by * B + i / B % B, bz * B + i % B};
                    raylib::Color const c = grid.palette[block[i]];
                    auto& sum = cells[{at[0] / GLOW_CELL, at[1] / GLOW_CELL, at[2] / GLOW_CELL}];
                    float const add[8] = {at[0] + 0.5f, at[1] + 0.5f, at[2] + 0.5f, float(c.r),
                                          float(c.g),   float(c.b),   glow,         1};
                    for (int k = 0; k < 8; ++k) sum[k] += add[k];
                }
            }
        }
    }
    std::vector<GlowPoint> points;
    for (auto const& cell : cells) {
        if (points.size() == MAX_GLOWS) break;
        std::array<float, 8> const& sum = cell.second;
        float const n = sum[7];
        auto const channel = [&](int k) { return static_cast<unsigned char>(sum[k] / n + 0.5f); };
        points.push_back({{sum[0] / n * VOXEL_SIDE, sum[1] / n * VOXEL_SIDE, sum[2] / n * VOXEL_SIDE},
                          {channel(3), channel(4), channel(5), 255},
                          sum[6] / n});
    }
    return points;
}
