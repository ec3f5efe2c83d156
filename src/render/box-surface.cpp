#include "box-surface.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "greedy-box.h"

namespace {

// A face of a box on one axis: its plane, the rectangle it spans on the two
// other axes, its colour, whether its box lies below the plane, and whether
// it is drawn (a face of own) or only covers.
struct PlaneFace {
    float plane;
    std::array<float, 4> rect;  // u from, u to, v from, v to
    raylib::Color color;
    bool positive;
    bool drawn;
};

// Planes holding more distinct cells than this for each face are drawn
// face by face: boxes at scattered places, which merging would not help.
constexpr size_t CELLS_A_FACE = 64;
constexpr size_t FEWEST_CELLS_ALLOWED = 4096;

void addFaces(std::vector<PlaneFace>& faces, AABox const& box, int axis, bool drawn) {
    if (!solid(box)) return;
    FacesOnAxis const two = facesOnAxis(box, axis);
    faces.push_back({two.planes[1], two.rect, box.color, true, drawn});
    faces.push_back({two.planes[0], two.rect, box.color, false, drawn});
}

// The distinct values, sorted, those closer than the tolerance taken as one.
std::vector<float> edgesOf(std::vector<float> values) {
    std::sort(values.begin(), values.end());
    std::vector<float> edges;
    for (float const value : values) {
        if (edges.empty() || value - edges.back() > tolerance(edges.back())) edges.push_back(value);
    }
    return edges;
}

// The number of the edge at value.
int edgeAt(std::vector<float> const& edges, float value) {
    return static_cast<int>(std::lower_bound(edges.begin(), edges.end(), value - tolerance(value)) - edges.begin());
}

// What lies in front of a plane, on each side (the negative first), within
// the shading band: the rectangles its solid boxes span on the plane.
using Shade = std::array<std::vector<std::array<float, 4>>, 2>;

// The faces of one plane on a grid of the cells their edges cut it into:
// for each side, the colour drawn in each cell (0 for none) and whether a
// face of the other side covers it; shaded, also whether a box stands in
// front of the cell, and the grid reaches the band beyond the faces, its
// edges a band's width from every box in front too.
class PlaneGrid {
public:
    PlaneGrid(PlaneFace const* first, PlaneFace const* last, int axis, Shade const& shade, float band)
        : axis(axis), plane(first->plane), band(band) {
        std::array<float, 4> bounds{};
        bool any = false;
        for (PlaneFace const* face = first; face != last; ++face) {
            if (!face->drawn) continue;
            auto const& r = face->rect;
            bounds = any ? std::array{std::min(bounds[0], r[0]), std::max(bounds[1], r[1]), std::min(bounds[2], r[2]),
                                      std::max(bounds[3], r[3])}
                         : r;
            any = true;
        }
        for (int i = 0; i < 4; ++i) bounds[i] += i % 2 ? band : -band;
        std::vector<float> us{bounds[0], bounds[1]}, vs{bounds[2], bounds[3]};
        // A rectangle's edges, and those a reach off them either way.
        auto const addEdges = [&](std::array<float, 4> const& r, float reach) {
            for (int i = 0; i < 2; ++i) {
                for (float const off : {-reach, 0.0f, reach}) {
                    us.push_back(std::clamp(r[i] + off, bounds[0], bounds[1]));
                    vs.push_back(std::clamp(r[2 + i] + off, bounds[2], bounds[3]));
                }
            }
        };
        for (PlaneFace const* face = first; face != last; ++face) addEdges(face->rect, 0);
        for (auto const& side : shade) {
            for (auto const& r : side) addEdges(r, band);
        }
        uEdges = edgesOf(std::move(us));
        vEdges = edgesOf(std::move(vs));
        columns = std::max<int>(0, static_cast<int>(uEdges.size()) - 1);
        rows = std::max<int>(0, static_cast<int>(vEdges.size()) - 1);
    }

    size_t cells() const { return static_cast<size_t>(columns) * static_cast<size_t>(rows); }

    void fill(PlaneFace const* first, PlaneFace const* last, Shade const& shade) {
        for (int side = 0; side < 2; ++side) {
            drawn[side].assign(cells(), 0);
            covered[side].assign(cells(), false);
            blocked[side].assign(cells(), false);
        }
        for (PlaneFace const* face = first; face != last; ++face) {
            forCells(face->rect, [&](size_t cell) {
                if (face->drawn) drawn[face->positive][cell] = packedColor(face->color);
                covered[!face->positive][cell] = true;
            });
        }
        for (int side = 0; side < 2; ++side) {
            for (auto const& r : shade[side]) forCells(r, [&](size_t cell) { blocked[side][cell] = true; });
        }
    }

    // The cells of each side that show, merged greedily into quads of one
    // colour and one shade.
    void addQuads(std::vector<SurfaceQuad>& quads) {
        for (int side = 0; side < 2; ++side) {
            std::vector<bool> taken(cells(), false);
            std::vector<uint8_t> shades(cells(), 0);
            if (band > 0) {
                for (int v = 0; v < rows; ++v) {
                    for (int u = 0; u < columns; ++u)
                        shades[static_cast<size_t>(v) * columns + u] = shadeOf(side, u, v);
                }
            }
            auto const free = [&](size_t cell, uint32_t colour, uint8_t shade) {
                return !taken[cell] && !covered[side][cell] && drawn[side][cell] == colour && shades[cell] == shade;
            };
            for (int v = 0; v < rows; ++v) {
                for (int u = 0; u < columns; ++u) {
                    size_t const start = static_cast<size_t>(v) * columns + u;
                    uint32_t const colour = drawn[side][start];
                    uint8_t const shade = shades[start];
                    if (colour == 0 || !free(start, colour, shade)) continue;
                    // A cell merges only along an axis its shade does not
                    // vary along: corner k is high along u when k & 1.
                    auto const corner = [&](int k) { return shade >> (2 * k) & 3; };
                    bool const evenU = corner(0) == corner(1) && corner(2) == corner(3);
                    bool const evenV = corner(0) == corner(2) && corner(1) == corner(3);
                    auto const size = growBox<2>({u, v}, std::max(columns, rows), [&](std::array<int, 2> const& at) {
                        return (at[0] == u || evenU) && (at[1] == v || evenV) && at[0] < columns && at[1] < rows &&
                               free(static_cast<size_t>(at[1]) * columns + at[0], colour, shade);
                    });
                    for (int dv = 0; dv < size[1]; ++dv) {
                        for (int du = 0; du < size[0]; ++du) taken[start + dv * columns + du] = true;
                    }
                    SurfaceQuad quad{faceOf(axis, side),
                                     plane,
                                     {uEdges[u], vEdges[v]},
                                     {uEdges[u + size[0]], vEdges[v + size[1]]},
                                     unpackedColor(colour)};
                    for (int k = 0; k < 4; ++k) quad.occlusion[k & 1][k >> 1] = shade >> (2 * k) & 3;
                    quads.push_back(quad);
                }
            }
        }
    }

private:
    // Calls visit with each cell of the rectangle (u from, u to, v from, v
    // to) that lies on the grid.
    template <class Visit>
    void forCells(std::array<float, 4> const& r, Visit const& visit) const {
        int const u0 = edgeAt(uEdges, std::max(r[0], uEdges.front()));
        int const u1 = edgeAt(uEdges, std::min(r[1], uEdges.back()));
        int const v0 = edgeAt(vEdges, std::max(r[2], vEdges.front()));
        int const v1 = edgeAt(vEdges, std::min(r[3], vEdges.back()));
        for (int v = v0; v < v1; ++v) {
            for (int u = u0; u < u1; ++u) visit(static_cast<size_t>(v) * columns + u);
        }
    }

    // Whether something stands in front of the cell, off the grid nothing.
    bool blockedAt(int side, int u, int v) const {
        return u >= 0 && v >= 0 && u < columns && v < rows && blocked[side][static_cast<size_t>(v) * columns + u];
    }

    // The occlusion of the cell's four corners, two bits each, corner k high
    // along u when k & 1 and along v when k & 2: both neighbours beside a
    // corner shut it in; else each of the three around it darkens it.
    uint8_t shadeOf(int side, int u, int v) const {
        int shade = 0;
        for (int k = 0; k < 4; ++k) {
            int const du = k & 1 ? 1 : -1, dv = k & 2 ? 1 : -1;
            bool const side1 = blockedAt(side, u + du, v), side2 = blockedAt(side, u, v + dv);
            int const occlusion = side1 && side2 ? 3 : side1 + side2 + blockedAt(side, u + du, v + dv);
            shade |= occlusion << (2 * k);
        }
        return static_cast<uint8_t>(shade);
    }

    int axis;
    float plane;
    float band;
    std::vector<float> uEdges, vEdges;
    int columns = 0, rows = 0;
    std::array<std::vector<uint32_t>, 2> drawn;
    std::array<std::vector<bool>, 2> covered, blocked;
};

// The quads of the faces of one plane.
void addPlane(PlaneFace const* first, PlaneFace const* last, int axis, Shade const& shade, float band,
              std::vector<SurfaceQuad>& quads) {
    if (std::none_of(first, last, [](PlaneFace const& face) { return face.drawn; })) return;
    PlaneGrid grid(first, last, axis, shade, band);
    if (grid.cells() > CELLS_A_FACE * static_cast<size_t>(last - first) + FEWEST_CELLS_ALLOWED) {
        for (PlaneFace const* face = first; face != last; ++face) {
            auto const& r = face->rect;
            if (face->drawn)
                quads.push_back({faceOf(axis, face->positive), face->plane, {r[0], r[2]}, {r[1], r[3]}, face->color});
        }
        return;
    }
    grid.fill(first, last, shade);
    grid.addQuads(quads);
}

// What stands within the band in front of the plane on each side.
Shade shadeOf(std::vector<AABox const*> const& boxes, int axis, float plane, float band) {
    Shade shade;
    if (!(band > 0)) return shade;
    float const near = tolerance(plane);
    for (AABox const* box : boxes) {
        if (!solid(*box)) continue;
        FacesOnAxis const two = facesOnAxis(*box, axis);
        if (two.planes[0] < plane - near && two.planes[1] > plane - band + near) shade[0].push_back(two.rect);
        if (two.planes[1] > plane + near && two.planes[0] < plane + band - near) shade[1].push_back(two.rect);
    }
    return shade;
}

}  // namespace

std::vector<SurfaceQuad> boxSurface(std::vector<AABox const*> const& own, std::vector<AABox const*> const& around,
                                    float shadingBand) {
    std::vector<SurfaceQuad> quads;
    std::vector<AABox const*> all = own;
    if (shadingBand > 0) all.insert(all.end(), around.begin(), around.end());
    for (int axis = 0; axis < 3; ++axis) {
        std::vector<PlaneFace> faces;
        faces.reserve(2 * (own.size() + around.size()));
        for (AABox const* box : own) addFaces(faces, *box, axis, true);
        for (AABox const* box : around) addFaces(faces, *box, axis, false);
        std::sort(faces.begin(), faces.end(), [](PlaneFace const& a, PlaneFace const& b) { return a.plane < b.plane; });
        for (size_t first = 0, last = 0; first < faces.size(); first = last) {
            while (last < faces.size() && faces[last].plane - faces[first].plane <= tolerance(faces[first].plane))
                ++last;
            float const plane = faces[first].plane;
            addPlane(faces.data() + first, faces.data() + last, axis, shadeOf(all, axis, plane, shadingBand),
                     shadingBand, quads);
        }
    }
    return quads;
}

float shadingBandOf(std::vector<AABox const*> const& boxes) {
    float band = 1;
    for (AABox const* box : boxes) {
        raylib::Vector3 const size = box->aabb.size;
        if (solid(*box)) band = std::min({band, size.x, size.y, size.z});
    }
    return band;
}
