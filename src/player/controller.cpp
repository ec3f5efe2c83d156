#include "controller.h"

#include <cmath>

#include "raylib-api.h"

namespace {

float buttonAxis(int gamepad, int positive, int negative) {
    float const forward = raylib::IsGamepadButtonDown(gamepad, positive) ? 1.0f : 0.0f;
    float const back = raylib::IsGamepadButtonDown(gamepad, negative) ? 1.0f : 0.0f;
    return forward - back;
}

}  // namespace

bool KeyboardController::held(Action action) const {
    auto const [first, second] = keys[action];
    return (first != 0 && raylib::IsKeyDown(first)) || (second != 0 && raylib::IsKeyDown(second));
}

float KeyboardController::getForwardMovement() const {
    return (held(MOVE_FORWARD) ? 1.0f : 0.0f) - (held(MOVE_BACK) ? 1.0f : 0.0f);
}

float KeyboardController::getSideMovement() const {
    return (held(MOVE_RIGHT) ? 1.0f : 0.0f) - (held(MOVE_LEFT) ? 1.0f : 0.0f);
}

AdditionalKeys KeyboardController::getAdditionalKeys() const {
    return {held(RESET), held(SHOW_INFO), held(FLY_UP), held(FLY_DOWN)};
}

float GamepadController::getForwardMovement() const {
    return buttonAxis(gamepad, raylib::GAMEPAD_BUTTON_RIGHT_FACE_UP, raylib::GAMEPAD_BUTTON_RIGHT_FACE_DOWN);
}

float GamepadController::getSideMovement() const {
    return buttonAxis(gamepad, raylib::GAMEPAD_BUTTON_RIGHT_FACE_RIGHT, raylib::GAMEPAD_BUTTON_RIGHT_FACE_LEFT);
}

AdditionalKeys GamepadController::getAdditionalKeys() const {
    return {};
}

float beyondDeadZone(float axis, float deadZone) {
    float const push = std::fabs(axis);
    if (!(push > deadZone)) return 0.0f;
    return std::copysign(std::fmin(1.0f, (push - deadZone) / (1.0f - deadZone)), axis);
}

float StickController::getForwardMovement() const {
    return -beyondDeadZone(raylib::GetGamepadAxisMovement(gamepad, raylib::GAMEPAD_AXIS_LEFT_Y), deadZone);
}

float StickController::getSideMovement() const {
    return beyondDeadZone(raylib::GetGamepadAxisMovement(gamepad, raylib::GAMEPAD_AXIS_LEFT_X), deadZone);
}

StickLook readStickLook(int gamepad, float deadZone) {
    return {beyondDeadZone(raylib::GetGamepadAxisMovement(gamepad, raylib::GAMEPAD_AXIS_RIGHT_X), deadZone),
            beyondDeadZone(raylib::GetGamepadAxisMovement(gamepad, raylib::GAMEPAD_AXIS_RIGHT_Y), deadZone)};
}

void CompositeController::addController(std::shared_ptr<Controller> controller) {
    controllers.push_back(std::move(controller));
}

float CompositeController::firstNonZero(float (Controller::*axis)() const) const {
    for (auto const& controller : controllers) {
        float const value = (*controller.*axis)();
        // A NaN is not zero either, so it wins like any other value.
        if (value != 0.0f) return value;
    }
    return 0.0f;
}

float CompositeController::getForwardMovement() const {
    return firstNonZero(&Controller::getForwardMovement);
}

float CompositeController::getSideMovement() const {
    return firstNonZero(&Controller::getSideMovement);
}

AdditionalKeys CompositeController::getAdditionalKeys() const {
    if (controllers.empty()) return {};
    return controllers.front()->getAdditionalKeys();
}
