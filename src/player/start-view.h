#pragma once

#include "raylib-api.h"

// Where the player starts, and where the reset key brings it back: its eye
// point.
inline constexpr raylib::Vector3 START_POSITION{0.0f, 2.2f, 4.0f};
// The point the view starts looking at: almost along -x, slightly toward -z.
inline constexpr raylib::Vector3 START_TARGET{-0.682f, 2.2f, 3.93f};
// The vertical field of view, in degrees.
inline constexpr float FIELD_OF_VIEW = 65.0f;

// The camera of a view from eye toward target.
inline raylib::Camera3D cameraAt(raylib::Vector3 eye, raylib::Vector3 target) {
    return {eye, target, {0.0f, 1.0f, 0.0f}, FIELD_OF_VIEW, raylib::CAMERA_PERSPECTIVE};
}

// The camera the game starts with: at the player's eyes, looking almost
// along -x.
inline raylib::Camera3D startCamera() {
    return cameraAt(START_POSITION, START_TARGET);
}
