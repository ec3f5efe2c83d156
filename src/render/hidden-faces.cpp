#include "hidden-faces.h"

#include <algorithm>
#include <array>
#include <boost/container_hash/hash.hpp>
#include <cmath>
#include <unordered_map>

namespace {

// A face of a box: its plane, the rectangle it spans on the plane's other
// two axes, which box, and whether the box lies below the plane.
struct Face {
    float plane;
    std::array<float, 4> rect;  // u from, u to, v from, v to
    int box;
    bool positive;
};

// Clusters of faces this small are searched pair by pair for partial cover.
constexpr size_t SMALL_CLUSTER = 64;

// Whether the rectangle of outer contains that of inner.
bool covers(Face const& outer, Face const& inner) {
    auto const [u0, u1, v0, v1] = outer.rect;
    auto const [x0, x1, y0, y1] = inner.rect;
    return u0 <= x0 + tolerance(x0) && u1 >= x1 - tolerance(x1) && v0 <= y0 + tolerance(y0) && v1 >= y1 - tolerance(y1);
}

struct RectHash {
    size_t operator()(std::array<float, 4> const& rect) const { return boost::hash_range(rect.begin(), rect.end()); }
};

// The faces of the boxes on one axis, sorted by plane.
std::vector<Face> facesAlong(std::vector<AABox const*> const& boxes, int axis) {
    std::vector<Face> faces;
    for (size_t i = 0; i < boxes.size(); ++i) {
        if (!solid(*boxes[i])) continue;
        FacesOnAxis const two = facesOnAxis(*boxes[i], axis);
        faces.push_back({two.planes[1], two.rect, static_cast<int>(i), true});
        faces.push_back({two.planes[0], two.rect, static_cast<int>(i), false});
    }
    std::sort(faces.begin(), faces.end(), [](Face const& a, Face const& b) { return a.plane < b.plane; });
    return faces;
}

// Hides, within faces of one plane, those covered by a face of the other
// side: the same rectangle found by its corners, or in a small cluster any
// rectangle around it.
void hideWithin(Face const* first, Face const* last, int axis, std::vector<uint8_t>& masks) {
    auto const hide = [&](Face const& face) { masks[face.box] &= ~(1u << faceOf(axis, face.positive)); };
    std::unordered_map<std::array<float, 4>, Face const*, RectHash> below;
    for (Face const* face = first; face != last; ++face) {
        if (face->positive) below.emplace(face->rect, face);
    }
    for (Face const* face = first; face != last; ++face) {
        if (face->positive) continue;
        auto const match = below.find(face->rect);
        if (match == below.end()) continue;
        hide(*face);
        hide(*match->second);
    }
    if (static_cast<size_t>(last - first) > SMALL_CLUSTER) return;
    for (Face const* a = first; a != last; ++a) {
        for (Face const* b = first; b != last; ++b) {
            if (a->positive != b->positive && a->box != b->box && covers(*b, *a)) hide(*a);
        }
    }
}

}  // namespace

std::vector<uint8_t> visibleFaces(std::vector<AABox const*> const& boxes) {
    std::vector<uint8_t> masks(boxes.size(), 0x3F);
    for (int axis = 0; axis < 3; ++axis) {
        std::vector<Face> const faces = facesAlong(boxes, axis);
        for (size_t first = 0, last = 0; first < faces.size(); first = last) {
            while (last < faces.size() && faces[last].plane - faces[first].plane <= tolerance(faces[first].plane))
                ++last;
            hideWithin(faces.data() + first, faces.data() + last, axis, masks);
        }
    }
    return masks;
}
