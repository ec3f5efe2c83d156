#pragma once

#include "raylib-api.h"

// The projection times the modelview raylib draws with (after
// BeginMode3D), as a shader's "mvp" takes it.
raylib::Matrix currentViewProjection();

// The six planes of a view frustum, taken from a view-projection matrix.
class Frustum {
public:
    // The frustum of the projection and modelview matrices raylib draws with
    // (after BeginMode3D).
    static Frustum ofCurrentView();
    // The frustum of a modelview-projection matrix as raylib multiplies them.
    explicit Frustum(raylib::Matrix viewProjection);

    // Whether any part of the box may be seen: false only when the box lies
    // wholly outside one of the planes.
    bool meets(raylib::BoundingBox const& box) const;
    // The same, of the frustum stretched beyond its far plane without end.
    bool meetsOrLiesBeyond(raylib::BoundingBox const& box) const;

private:
    bool meets(raylib::BoundingBox const& box, int planeCount) const;

    // a, b, c, d of each plane: inside where a x + b y + c z + d >= 0.
    float planes[6][4];
};

// Whether any face of the bounds pointing along an axis-aligned normal can
// point towards the camera: some of them lies behind the camera along that
// direction. A face turned away is not drawn.
bool mayFace(raylib::BoundingBox const& bounds, float const normal[3], raylib::Vector3 camera);
