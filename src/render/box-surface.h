#pragma once

#include <cstdint>
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
    // How shut in each corner is, [high along the first axis][high along
    // the second]: 0 open, 3 in a corner; all 0 unless shading was asked.
    uint8_t occlusion[2][2] = {};
};

// The surface the solid boxes of own show, in as few quads as greedy
// merging finds: faces of one colour in one plane merged across boxes, and
// the parts of a face that a solid box (of own or of around) covers from
// the other side of its plane left out, so that a column's side against a
// lower neighbour keeps only what stands above it. Planes and edges a few
// float steps apart count as one. Boxes that are not solid are neither
// drawn nor covering here: their faces are left to the caller.
//
// With a shading band above 0, each corner is shaded by the three
// neighbours around it in front of its face, as far as the band reaches
// (a box standing on a floor darkens a band of the floor along its foot,
// a step darkens the ground below it), and quads merge only where their
// corners are shaded alike, along an axis their shade does not vary along.
std::vector<SurfaceQuad> boxSurface(std::vector<AABox const*> const& own, std::vector<AABox const*> const& around,
                                    float shadingBand = 0);

// The band a chunk of these boxes is shaded over: their smallest side, at
// most a unit (the side of a block of a block world).
float shadingBandOf(std::vector<AABox const*> const& boxes);
