#include "controller.h"

#include "raylib-api.h"

namespace {

// The letter key is polled first, the arrow key only when the letter is up.
float keyAxis(int positive, int positiveAlt, int negative, int negativeAlt) {
    float const forward = (raylib::IsKeyDown(positive) || raylib::IsKeyDown(positiveAlt)) ? 1.0f : 0.0f;
    float const back = (raylib::IsKeyDown(negative) || raylib::IsKeyDown(negativeAlt)) ? 1.0f : 0.0f;
    return forward - back;
}

float buttonAxis(int gamepad, int positive, int negative) {
    float const forward = raylib::IsGamepadButtonDown(gamepad, positive) ? 1.0f : 0.0f;
    float const back = raylib::IsGamepadButtonDown(gamepad, negative) ? 1.0f : 0.0f;
    return forward - back;
}

}  // namespace

float KeyboardController::getForwardMovement() const {
    return keyAxis(raylib::KEY_W, raylib::KEY_UP, raylib::KEY_S, raylib::KEY_DOWN);
}

float KeyboardController::getSideMovement() const {
    return keyAxis(raylib::KEY_D, raylib::KEY_RIGHT, raylib::KEY_A, raylib::KEY_LEFT);
}

AdditionalKeys KeyboardController::getAdditionalKeys() const {
    return {raylib::IsKeyDown(raylib::KEY_R), raylib::IsKeyDown(raylib::KEY_APOSTROPHE)};
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
