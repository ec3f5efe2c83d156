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

// The faces of one plane on a grid of the cells their edges cut it into:
// for each side, the colour drawn in each cell (0 for none) and whether a
// face of the other side covers it.
class PlaneGrid {
public:
    PlaneGrid(PlaneFace const* first, PlaneFace const* last, int axis) : axis(axis), plane(first->plane) {
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
        std::vector<float> us, vs;
        for (PlaneFace const* face = first; face != last; ++face) {
            for (int i = 0; i < 2; ++i) {
                us.push_back(std::clamp(face->rect[i], bounds[0], bounds[1]));
                vs.push_back(std::clamp(face->rect[2 + i], bounds[2], bounds[3]));
            }
        }
        uEdges = edgesOf(std::move(us));
        vEdges = edgesOf(std::move(vs));
        columns = std::max<int>(0, static_cast<int>(uEdges.size()) - 1);
        rows = std::max<int>(0, static_cast<int>(vEdges.size()) - 1);
    }

    size_t cells() const { return static_cast<size_t>(columns) * static_cast<size_t>(rows); }

    void fill(PlaneFace const* first, PlaneFace const* last) {
        for (int side = 0; side < 2; ++side) {
            drawn[side].assign(cells(), 0);
            covered[side].assign(cells(), false);
        }
        for (PlaneFace const* face = first; face != last; ++face) {
            auto const& r = face->rect;
            int const u0 = edgeAt(uEdges, std::max(r[0], uEdges.front()));
            int const u1 = edgeAt(uEdges, std::min(r[1], uEdges.back()));
            int const v0 = edgeAt(vEdges, std::max(r[2], vEdges.front()));
            int const v1 = edgeAt(vEdges, std::min(r[3], vEdges.back()));
            for (int v = v0; v < v1; ++v) {
                for (int u = u0; u < u1; ++u) {
                    size_t const cell = static_cast<size_t>(v) * columns + u;
                    if (face->drawn) drawn[face->positive][cell] = packedColor(face->color);
                    covered[!face->positive][cell] = true;
                }
            }
        }
    }

    // The cells of each side that show, merged greedily into quads of one
    // colour.
    void addQuads(std::vector<SurfaceQuad>& quads) {
        for (int side = 0; side < 2; ++side) {
            std::vector<bool> taken(cells(), false);
            auto const free = [&](size_t cell, uint32_t colour) {
                return !taken[cell] && !covered[side][cell] && drawn[side][cell] == colour;
            };
            for (int v = 0; v < rows; ++v) {
                for (int u = 0; u < columns; ++u) {
                    size_t const start = static_cast<size_t>(v) * columns + u;
                    uint32_t const colour = drawn[side][start];
                    if (colour == 0 || !free(start, colour)) continue;
                    auto const size = growBox<2>({u, v}, std::max(columns, rows), [&](std::array<int, 2> const& at) {
                        return at[0] < columns && at[1] < rows &&
                               free(static_cast<size_t>(at[1]) * columns + at[0], colour);
                    });
                    for (int dv = 0; dv < size[1]; ++dv) {
                        for (int du = 0; du < size[0]; ++du) taken[start + dv * columns + du] = true;
                    }
                    quads.push_back({faceOf(axis, side),
                                     plane,
                                     {uEdges[u], vEdges[v]},
                                     {uEdges[u + size[0]], vEdges[v + size[1]]},
                                     unpackedColor(colour)});
                }
            }
        }
    }

private:
    int axis;
    float plane;
    std::vector<float> uEdges, vEdges;
    int columns = 0, rows = 0;
    std::array<std::vector<uint32_t>, 2> drawn;
    std::array<std::vector<bool>, 2> covered;
};

// The quads of the faces of one plane.
void addPlane(PlaneFace const* first, PlaneFace const* last, int axis, std::vector<SurfaceQuad>& quads) {
    if (std::none_of(first, last, [](PlaneFace const& face) { return face.drawn; })) return;
    PlaneGrid grid(first, last, axis);
    if (grid.cells() > CELLS_A_FACE * static_cast<size_t>(last - first) + FEWEST_CELLS_ALLOWED) {
        for (PlaneFace const* face = first; face != last; ++face) {
            auto const& r = face->rect;
            if (face->drawn)
                quads.push_back({faceOf(axis, face->positive), face->plane, {r[0], r[2]}, {r[1], r[3]}, face->color});
        }
        return;
    }
    grid.fill(first, last);
    grid.addQuads(quads);
}

}  // namespace

std::vector<SurfaceQuad> boxSurface(std::vector<AABox const*> const& own, std::vector<AABox const*> const& around) {
    std::vector<SurfaceQuad> quads;
    for (int axis = 0; axis < 3; ++axis) {
        std::vector<PlaneFace> faces;
        faces.reserve(2 * (own.size() + around.size()));
        for (AABox const* box : own) addFaces(faces, *box, axis, true);
        for (AABox const* box : around) addFaces(faces, *box, axis, false);
        std::sort(faces.begin(), faces.end(), [](PlaneFace const& a, PlaneFace const& b) { return a.plane < b.plane; });
        for (size_t first = 0, last = 0; first < faces.size(); first = last) {
            while (last < faces.size() && faces[last].plane - faces[first].plane <= tolerance(faces[first].plane))
                ++last;
            addPlane(faces.data() + first, faces.data() + last, axis, quads);
        }
    }
    return quads;
}
