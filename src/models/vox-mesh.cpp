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

// Patches of texels, one for each quad whose corners are not all alike
// and one for each shade, packed into one texture once all are known: the
// tallest first, in rows as tall as their first, the texture as narrow as
// a square would be. A patch is a grid of corners with a border repeating
// its edge, so that a linear filter blends the shades across each voxel's
// face and never reaches another patch.
class ShadeAtlas {
public:
    ShadeAtlas() {
        for (int occlusion = 0; occlusion < 4; ++occlusion) uniform[occlusion] = add(1, 1, {uint8_t(occlusion)});
    }

    // Adds the patch of a grid of columns x rows corners, each the
    // occlusion of its corner; gives its number.
    int add(int columns, int rows, std::vector<uint8_t> const& corners) {
        Patch patch{columns + 2, rows + 2, {}};
        patch.texels.resize(static_cast<size_t>(patch.width) * patch.height);
        for (int y = 0; y < patch.height; ++y) {
            for (int x = 0; x < patch.width; ++x) {
                int const a = std::clamp(x - 1, 0, columns - 1), b = std::clamp(y - 1, 0, rows - 1);
                patch.texels[y * patch.width + x] = shadeOf(corners[b * columns + a]);
            }
        }
        patches.push_back(std::move(patch));
        return static_cast<int>(patches.size() - 1);
    }

    // The patch of one shade, for the quads alike at every corner.
    int uniformPatch(int occlusion) const { return uniform[occlusion]; }

    // The last quad of the list lies on the patch: its texture coordinates,
    // in texels from the patch's first, are to point into the texture.
    void placeQuad(QuadList& quads, int patch) { placed.push_back({&quads, quads.vertexCount() - 4, patch}); }

    // Packs the patches and points the quads' coordinates at them; none
    // when the texture would be more than MAX_SIDE texels high.
    std::optional<CornerShades> pack() {
        size_t area = 0;
        for (Patch const& patch : patches) area += static_cast<size_t>(patch.width) * patch.height;
        CornerShades shades;
        shades.width = 64;
        while (static_cast<size_t>(shades.width) * shades.width < area && shades.width < CornerShades::MAX_SIDE)
            shades.width *= 2;
        std::vector<size_t> order(patches.size());
        for (size_t i = 0; i < order.size(); ++i) order[i] = i;
        std::stable_sort(order.begin(), order.end(),
                         [&](size_t a, size_t b) { return patches[a].height > patches[b].height; });
        int x = 0, rowHeight = 0;
        for (size_t i : order) {
            Patch& patch = patches[i];
            if (x + patch.width > shades.width) shades.height += rowHeight, x = 0, rowHeight = 0;
            if (rowHeight == 0) rowHeight = patch.height;
            patch.x = x, patch.y = shades.height;
            x += patch.width;
        }
        shades.height += rowHeight;
        if (shades.height > CornerShades::MAX_SIDE) return std::nullopt;
        shades.texels.resize(static_cast<size_t>(shades.width) * shades.height);
        for (Patch const& patch : patches) {
            for (int y = 0; y < patch.height; ++y) {
                std::copy_n(patch.texels.begin() + y * patch.width, patch.width,
                            shades.texels.begin() + static_cast<size_t>(patch.y + y) * shades.width + patch.x);
            }
        }
        for (Placed const& quad : placed) {
            Patch const& patch = patches[quad.patch];
            float* texcoord = quad.quads->texcoords.data() + 2 * quad.firstVertex;
            for (int k = 0; k < 4; ++k) {
                texcoord[2 * k] = (texcoord[2 * k] + patch.x) / shades.width;
                texcoord[2 * k + 1] = (texcoord[2 * k + 1] + patch.y) / shades.height;
            }
        }
        return shades;
    }

private:
    struct Patch {
        int width, height;
        std::vector<unsigned char> texels;
        int x = 0, y = 0;
    };
    struct Placed {
        QuadList* quads;
        int firstVertex, patch;
    };
    std::vector<Patch> patches;
    std::vector<Placed> placed;
    int uniform[4];
};

// The face of the given side of the box from low to high (voxel units),
// with texture coordinates when shaded: in texels from its patch's first,
// its low corner (along the plane's axes u and v) at the middle of the
// first texel inside the border, a voxel's side taking step texels (0 for
// a patch of one shade).
void addFace(QuadList& quads, int face, int const low[3], int const high[3], raylib::Color color, bool shaded,
             float step, float const* material) {
    int const axis = face / 2, u = (axis + 1) % 3, v = (axis + 2) % 3;
    float normal[3] = {0, 0, 0};
    normal[axis] = face % 2 ? 1.0f : -1.0f;
    for (int corner : FACE_CORNERS[face]) {
        float position[3];
        for (int a = 0; a < 3; ++a) {
            position[a] = static_cast<float>(CORNERS[corner][a] ? high[a] : low[a]) * VOXEL_SIDE;
        }
        float const texcoord[2] = {1.5f + step * static_cast<float>(CORNERS[corner][u] ? high[u] - low[u] : 0),
                                   1.5f + step * static_cast<float>(CORNERS[corner][v] ? high[v] - low[v] : 0)};
        quads.addVertex(position, normal, color, shaded ? texcoord : nullptr, material);
    }
}

// The patch of the quad from low to high (voxel units) of the given side,
// a texel for each corner of its voxels' faces, as shut in as that corner;
// a quad alike at every corner takes the patch of that shade. Gives the
// patch, and the step a voxel takes on it.
std::pair<int, float> shadeQuad(VoxelGrid const& grid, ShadeAtlas& atlas, int face, int const low[3],
                                int const high[3]) {
    int const axis = face / 2, u = (axis + 1) % 3, v = (axis + 2) % 3;
    int const width = high[u] - low[u], height = high[v] - low[v];
    // A corner's occlusion, taken from a face of the quad it touches:
    // neighbouring faces in one plane agree on the corners they share.
    std::vector<uint8_t> corners(static_cast<size_t>(width + 1) * (height + 1));
    for (int b = 0; b <= height; ++b) {
        for (int a = 0; a <= width; ++a) {
            int voxel[3];
            voxel[axis] = low[axis], voxel[u] = low[u] + std::min(a, width - 1),
            voxel[v] = low[v] + std::min(b, height - 1);
            corners[b * (width + 1) + a] =
                static_cast<uint8_t>(cornerOcclusion(grid, voxel, face, a == width ? 1 : -1, b == height ? 1 : -1));
        }
    }
    if (std::all_of(corners.begin(), corners.end(), [&](uint8_t c) { return c == corners[0]; }))
        return {atlas.uniformPatch(corners[0]), 0.0f};
    return {atlas.add(width + 1, height + 1, corners), 1.0f};
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
            std::pair<int, float> patch{};
            if (shade) {
                // A light shows its colour, and glass lets light through:
                // nothing shades them.
                bool const unshaded = onlyGlass || kind.kind == VoxMaterial::EMIT;
                patch = unshaded ? std::pair{atlas->uniformPatch(0), 0.0f} : shadeQuad(grid, *atlas, face, low, high);
            }
            addFace(quads, face, low, high, colorOf(grid, color, onlyGlass), shade, patch.second,
                    withMaterials ? material : nullptr);
            if (shade) atlas->placeQuad(quads, patch.first);
        }
    }
}

// The meshes of a grid, shaded on the atlas when one is given, its packed
// texture in shades; the number of glass meshes among them, the last ones,
// in glassMeshes.
std::optional<std::vector<raylib::Mesh>> buildMeshes(VoxelGrid const& grid, ShadeAtlas* atlas, int& glassMeshes,
                                                     CornerShades* shades = nullptr) {
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
    if (atlas) {
        std::optional<CornerShades> packed = atlas->pack();
        if (!packed) return std::nullopt;
        *shades = std::move(*packed);
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
    auto built = buildMeshes(grid, &atlas, shaded.glassMeshes, &shaded.shades);
    if (!built) return std::nullopt;
    shaded.meshes = std::move(*built);
    shaded.sheen = std::any_of(shaded.meshes.begin(), shaded.meshes.end(), [](raylib::Mesh const& mesh) {
        if (!mesh.texcoords2) return false;
        for (int i = 0; i < mesh.vertexCount; ++i) {
            if (mesh.texcoords2[2 * i + 1] > 0) return true;
        }
        return false;
    });
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
