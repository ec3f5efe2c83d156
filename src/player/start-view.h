#pragma once

#include <cmath>

#include "raylib-api.h"

// Where the player starts, and where the reset key brings it back: its eye
// point.
inline constexpr raylib::Vector3 START_POSITION{0.0f, 2.2f, 4.0f};
// The point the view starts looking at: almost along -x, slightly toward -z.
inline constexpr raylib::Vector3 START_TARGET{-0.682f, 2.2f, 3.93f};
// Where a scene starts the player: its eye, and the point it looks at.
struct StartView {
    raylib::Vector3 eye = START_POSITION;
    raylib::Vector3 look = START_TARGET;
};
// The vertical field of view, in degrees.
inline constexpr float FIELD_OF_VIEW = 65.0f;

// The camera of a view from eye toward target, with y up on the screen; a
// view straight up or down, which y cannot be up in, has -z up instead, as
// on a plan with north up. eye and target must differ.
inline raylib::Camera3D cameraAt(raylib::Vector3 eye, raylib::Vector3 target, float fieldOfView = FIELD_OF_VIEW) {
    raylib::Vector3 const direction = raylib::Vector3Normalize(raylib::Vector3Subtract(target, eye));
    bool const vertical = std::fabs(direction.y) > 0.9999f;
    raylib::Vector3 const up = vertical ? raylib::Vector3{0.0f, 0.0f, -1.0f} : raylib::Vector3{0.0f, 1.0f, 0.0f};
    return {eye, target, up, fieldOfView, raylib::CAMERA_PERSPECTIVE};
}

// The camera the game starts with: at the player's eyes, looking almost
// along -x, as high as the field of view set.
inline raylib::Camera3D startCamera(float fieldOfView = FIELD_OF_VIEW) {
    return cameraAt(START_POSITION, START_TARGET, fieldOfView);
}
