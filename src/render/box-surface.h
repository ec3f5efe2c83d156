#pragma once

#include <vector>

#include "aabox.h"
#include "box-faces.h"

// A rectangle of a surface, of one colour, pointing one way: it lies on the
// plane at `plane` along its direction's axis and spans from low to high
// along the two other axes, the one after the direction's axis first (y, z
// for a face along x; z, x along y; x, y along z).
struct SurfaceQuad {
    BoxFace direction;
    float plane;
    float low[2], high[2];
    raylib::Color color;
};

// The surface the solid boxes of own show, in as few quads as greedy
// merging finds: faces of one colour in one plane merged across boxes, and
// the parts of a face that a solid box (of own or of around) covers from
// the other side of its plane left out, so that a column's side against a
// lower neighbour keeps only what stands above it. Planes and edges a few
// float steps apart count as one. Boxes that are not solid are neither
// drawn nor covering here: their faces are left to the caller.
std::vector<SurfaceQuad> boxSurface(std::vector<AABox const*> const& own, std::vector<AABox const*> const& around);
