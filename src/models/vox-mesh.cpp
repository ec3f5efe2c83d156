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

// The occlusion of a corner of a voxel's face: how many of the three
// voxels around it in front of the face are filled, both sides filled
// counting as all three. du and dv (1 or -1) pick the corner along the
// face's plane axes u and v.
int cornerOcclusion(VoxelGrid const& grid, int const voxel[3], int face, int du, int dv) {
    int const axis = face / 2, u = (axis + 1) % 3, v = (axis + 2) % 3;
    int front[3] = {voxel[0], voxel[1], voxel[2]};
    front[axis] += face % 2 ? 1 : -1;
    auto const filled = [&](int stepU, int stepV) {
        int at[3] = {front[0], front[1], front[2]};
        at[u] += stepU, at[v] += stepV;
        return grid.at(at[0], at[1], at[2]) != 0;
    };
    bool const side1 = filled(du, 0), side2 = filled(0, dv);
    return side1 && side2 ? 3 : side1 + side2 + filled(du, dv);
}

unsigned char shadeOf(int occlusion) {
    return static_cast<unsigned char>(255 * CORNER_LIGHT[occlusion] + 0.5f);
}

// Patches of texels packed in rows of CornerShades::WIDTH: a patch goes on
// the open row of its height, and a new row is opened below when that one
// is full. The first patches are one of each shade, for the quads shaded
// alike at every corner.
class ShadeAtlas {
public:
    ShadeAtlas() {
        for (int occlusion = 0; occlusion < 4; ++occlusion) {
            uniform[occlusion] = place(3, 3);
            for (int y = 0; y < 3; ++y) {
                for (int x = 0; x < 3; ++x)
                    set(uniform[occlusion][0] + x, uniform[occlusion][1] + y, shadeOf(occlusion));
            }
        }
    }

    // The first texel of a free patch of width x height texels.
    std::array<int, 2> place(int width, int height) {
        auto row = openRows.find(height);
        if (row == openRows.end() || row->second[0] + width > CornerShades::WIDTH) {
            row = openRows.insert_or_assign(height, std::array<int, 2>{0, shades.height}).first;
            shades.height += height;
            shades.texels.resize(static_cast<size_t>(CornerShades::WIDTH) * shades.height);
        }
        std::array<int, 2> const first = row->second;
        row->second[0] += width;
        return first;
    }

    void set(int x, int y, unsigned char shade) {
        shades.texels[static_cast<size_t>(y) * CornerShades::WIDTH + x] = shade;
    }

    // The middle texel of the patch of one shade.
    std::array<float, 2> uniformAt(int occlusion) const {
        return {uniform[occlusion][0] + 1.5f, uniform[occlusion][1] + 1.5f};
    }

    CornerShades shades;

private:
    std::map<int, std::array<int, 2>> openRows;
    std::array<int, 2> uniform[4];
};

// The face of the given side of the box from low to high (voxel units);
// shadeAt, given, is where its low corner (along the plane's axes u and v)
// lies on the shades' texture, in texels, and step how far along it a
// voxel's side takes (0 for a quad shaded alike, 1 for a patch of its own).
void addFace(QuadList& quads, int face, int const low[3], int const high[3], raylib::Color color,
             std::array<float, 2> const* shadeAt, float step, float const* material) {
    int const axis = face / 2, u = (axis + 1) % 3, v = (axis + 2) % 3;
    float normal[3] = {0, 0, 0};
    normal[axis] = face % 2 ? 1.0f : -1.0f;
    for (int corner : FACE_CORNERS[face]) {
        float position[3];
        for (int a = 0; a < 3; ++a) {
            position[a] = static_cast<float>(CORNERS[corner][a] ? high[a] : low[a]) * VOXEL_SIDE;
        }
        float texcoord[2] = {0, 0};
        if (shadeAt) {
            texcoord[0] = (*shadeAt)[0] + step * static_cast<float>(CORNERS[corner][u] ? high[u] - low[u] : 0);
            texcoord[1] = (*shadeAt)[1] + step * static_cast<float>(CORNERS[corner][v] ? high[v] - low[v] : 0);
        }
        quads.addVertex(position, normal, color, shadeAt ? texcoord : nullptr, material);
    }
}

// Where on the shades' texture the corners of the quad from low to high
// (voxel units) of the given side lie, its patch written: a texel for each
// corner of its voxels' faces, as shut in as that corner, and a border
// repeating the patch's edge, so that a linear filter blends the shades
// across each voxel's face and never reaches another patch. A quad alike
// at every corner points at the patch of that shade. Gives the low
// corner's texel middle, and the step a voxel takes.
std::pair<std::array<float, 2>, float> shadeQuad(VoxelGrid const& grid, ShadeAtlas& atlas, int face, int const low[3],
                                                 int const high[3]) {
    int const axis = face / 2, u = (axis + 1) % 3, v = (axis + 2) % 3;
    int const width = high[u] - low[u], height = high[v] - low[v];
    // A corner's occlusion, taken from a face of the quad it touches:
    // neighbouring faces in one plane agree on the corners they share.
    std::vector<unsigned char> corners(static_cast<size_t>(width + 1) * (height + 1));
    for (int b = 0; b <= height; ++b) {
        for (int a = 0; a <= width; ++a) {
            int voxel[3];
            voxel[axis] = low[axis], voxel[u] = low[u] + std::min(a, width - 1),
            voxel[v] = low[v] + std::min(b, height - 1);
            corners[b * (width + 1) + a] = static_cast<unsigned char>(
                cornerOcclusion(grid, voxel, face, a == width ? 1 : -1, b == height ? 1 : -1));
        }
    }
    if (std::all_of(corners.begin(), corners.end(), [&](unsigned char c) { return c == corners[0]; }))
        return {atlas.uniformAt(corners[0]), 0.0f};
    std::array<int, 2> const first = atlas.place(width + 3, height + 3);
    for (int y = 0; y < height + 3; ++y) {
        for (int x = 0; x < width + 3; ++x) {
            int const a = std::clamp(x - 1, 0, width), b = std::clamp(y - 1, 0, height);
            atlas.set(first[0] + x, first[1] + y, shadeOf(corners[b * (width + 1) + a]));
        }
    }
    return {{first[0] + 1.5f, first[1] + 1.5f}, 1.0f};
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
// while whole rows match. Given an atlas, the quads' corners are shaded on
// it (see shadeQuad), but those of emissive voxels and glass.
void addLayer(VoxelGrid const& grid, uint8_t const* cells, int const origin[3], int face, int layer, ShadeAtlas* atlas,
              bool withMaterials, bool onlyGlass, QuadList& quads) {
    int const axis = face / 2, u = (axis + 1) % 3, v = (axis + 2) % 3;
    int const step = face % 2 ? 1 : -1;
    bool const shade = atlas != nullptr;
    // The colour of each face that shows.
    uint8_t mask[B * B];
    for (int j = 0; j < B; ++j) {
        for (int i = 0; i < B; ++i) {
            int local[3];
            local[axis] = layer, local[u] = i, local[v] = j;
            uint8_t const color = cells[(local[0] * B + local[1]) * B + local[2]];
            int next[3] = {origin[0] + local[0], origin[1] + local[1], origin[2] + local[2]};
            next[axis] += step;
            uint8_t const neighbour = grid.at(next[0], next[1], next[2]);
            // Shaded, glass is drawn apart: what lies behind it shows.
            bool const glass = shade && isGlass(grid, color);
            bool const shows =
                color != 0 && glass == onlyGlass && (neighbour == 0 || (shade && !glass && isGlass(grid, neighbour)));
            mask[j * B + i] = shows ? color : 0;
        }
    }
    for (int j = 0; j < B; ++j) {
        for (int i = 0; i < B; ++i) {
            uint8_t const color = mask[j * B + i];
            if (color == 0) continue;
            auto const same = [&](std::array<int, 2> const& c) { return mask[c[1] * B + c[0]] == color; };
            std::array<int, 2> const size = growBox<2>({i, j}, B, same);
            int const width = size[0], height = size[1];
            for (int row = j; row < j + height; ++row) std::fill_n(mask + row * B + i, width, 0);
            int low[3], high[3];
            low[axis] = origin[axis] + layer, high[axis] = low[axis] + 1;
            low[u] = origin[u] + i, high[u] = low[u] + width;
            low[v] = origin[v] + j, high[v] = low[v] + height;
            VoxMaterial const& kind = grid.materials[color];
            float const material[2] = {glowOf(kind), sheenOf(kind)};
            std::pair<std::array<float, 2>, float> shadeAt{};
            if (shade) {
                // A light shows its colour, and glass lets light through:
                // nothing shades them.
                bool const unshaded = onlyGlass || kind.kind == VoxMaterial::EMIT;
                shadeAt = unshaded ? std::pair{atlas->uniformAt(0), 0.0f} : shadeQuad(grid, *atlas, face, low, high);
            }
            addFace(quads, face, low, high, colorOf(grid, color, onlyGlass), shade ? &shadeAt.first : nullptr,
                    shadeAt.second, withMaterials ? material : nullptr);
        }
    }
}

}  // namespace

namespace {

// The meshes of a grid, shaded on the atlas when one is given; the number
// of glass meshes among them, the last ones, in glassMeshes.
std::optional<std::vector<raylib::Mesh>> buildMeshes(VoxelGrid const& grid, ShadeAtlas* atlas, int& glassMeshes) {
    bool const shade = atlas != nullptr;
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
                            addLayer(grid, cells, origin, face, layer, atlas, withMaterials, glass, quads[glass][face]);
                        vertices += static_cast<size_t>(quads[glass][face].vertexCount());
                    }
                }
                if (vertices > 4 * MAX_MODEL_QUADS) return std::nullopt;
            }
        }
    }
    if (atlas && atlas->shades.height > CornerShades::MAX_HEIGHT) return std::nullopt;
    if (atlas) {
        // Texels to the texture's coordinates, now that its height is known.
        for (auto& side : quads) {
            for (QuadList& faces : side) {
                for (size_t i = 0; i < faces.texcoords.size(); i += 2) {
                    faces.texcoords[i] /= CornerShades::WIDTH;
                    faces.texcoords[i + 1] /= static_cast<float>(atlas->shades.height);
                }
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
    glassMeshes = static_cast<int>(meshes.size() - opaque);
    return meshes;
}

}  // namespace

std::optional<std::vector<raylib::Mesh>> buildVoxMeshes(VoxelGrid const& grid) {
    int glassMeshes = 0;
    return buildMeshes(grid, nullptr, glassMeshes);
}

std::optional<ShadedMeshes> buildShadedVoxMeshes(VoxelGrid const& grid) {
    ShadeAtlas atlas;
    ShadedMeshes shaded;
    auto built = buildMeshes(grid, &atlas, shaded.glassMeshes);
    if (!built) return std::nullopt;
    shaded.meshes = std::move(*built);
    shaded.shades = std::move(atlas.shades);
    return shaded;
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
