// The controllers against a fake of raylib's input polls: this binary links
// the controller code without raylib.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <tuple>
#include <vector>

#include "controller.h"
#include "raylib-api.h"

namespace {

std::set<int> keysDown;
std::set<int> buttonsDown;  // buttons of gamepad 0
float axes[6];              // the axes of gamepad 0

}  // namespace

namespace raylib {

extern "C" bool IsKeyDown(int key) {
    return keysDown.count(key) != 0;
}

extern "C" bool IsGamepadButtonDown(int gamepad, int button) {
    return gamepad == 0 && buttonsDown.count(button) != 0;
}

extern "C" float GetGamepadAxisMovement(int gamepad, int axis) {
    return gamepad == 0 ? axes[axis] : 0.0f;
}

}  // namespace raylib

namespace {

using namespace raylib;
using State = std::tuple<float, float, bool, bool>;

// Forward, side, reset and showInfo, as one value.
State stateOf(Controller const& controller) {
    AdditionalKeys const keys = controller.getAdditionalKeys();
    return {controller.getForwardMovement(), controller.getSideMovement(), keys.reset, keys.showInfo};
}

TEST(KeyboardController, EveryCombinationOfKeys) {
    std::pair<std::set<int>, State> const cases[] = {
        {{}, {0, 0, false, false}},          {{KEY_W}, {1, 0, false, false}},
        {{KEY_UP}, {1, 0, false, false}},    {{KEY_S}, {-1, 0, false, false}},
        {{KEY_DOWN}, {-1, 0, false, false}}, {{KEY_W, KEY_UP, KEY_DOWN}, {0, 0, false, false}},
        {{KEY_D}, {0, 1, false, false}},     {{KEY_RIGHT}, {0, 1, false, false}},
        {{KEY_A}, {0, -1, false, false}},    {{KEY_LEFT, KEY_RIGHT}, {0, 0, false, false}},
        {{KEY_R}, {0, 0, true, false}},      {{KEY_APOSTROPHE}, {0, 0, false, true}},
    };
    for (auto const& [keys, expected] : cases) {
        keysDown = keys;
        EXPECT_EQ(stateOf(KeyboardController()), expected) << "keys held: " << keys.size();
    }
    // Bound to other keys, only those count; an action may have one key.
    KeyBindings bound = DEFAULT_KEYS;
    bound[MOVE_FORWARD] = {KEY_I, 0};
    bound[RESET] = {KEY_UP, KEY_K};
    for (auto const& [keys, expected] : {std::pair{std::set<int>{KEY_W}, State(0, 0, false, false)},
                                         {{KEY_I}, {1, 0, false, false}},
                                         {{KEY_K}, {0, 0, true, false}},
                                         {{KEY_UP, KEY_S}, {-1, 0, true, false}}}) {
        keysDown = keys;
        EXPECT_EQ(stateOf(KeyboardController(bound)), expected);
    }
}

// The left stick walks, up forward and right to the right, beyond its dead
// zone and in proportion; the right stick looks, right and down positive.
TEST(StickController, PushesBeyondTheDeadZone) {
    // The stick's x and y, and the forward and side movement they give.
    for (auto const& [x, y, forward, side] : {std::tuple{0.0f, -1.0f, 1.0f, 0.0f},
                                              {1.0f, 0.0f, 0.0f, 1.0f},
                                              {-0.625f, 0.25f, 0.0f, -0.5f},
                                              {0.1f, 0.625f, -0.5f, 0.0f}}) {
        axes[GAMEPAD_AXIS_LEFT_X] = x, axes[GAMEPAD_AXIS_LEFT_Y] = y;
        axes[GAMEPAD_AXIS_RIGHT_X] = x, axes[GAMEPAD_AXIS_RIGHT_Y] = y;
        EXPECT_EQ(stateOf(StickController(0, 0.25f)), State(forward, side, false, false));
        StickLook const look = readStickLook(0, 0.25f);
        EXPECT_EQ(std::pair(look.x, look.y), std::pair(side, -forward));
    }
    EXPECT_EQ(stateOf(StickController(1, 0.2f)), State(0, 0, false, false));
}

TEST(GamepadController, RightFaceButtonsAndNoSwitches) {
    std::pair<std::set<int>, State> const cases[] = {
        {{GAMEPAD_BUTTON_RIGHT_FACE_UP}, {1, 0, false, false}},
        {{GAMEPAD_BUTTON_RIGHT_FACE_DOWN, GAMEPAD_BUTTON_MIDDLE}, {-1, 0, false, false}},
        {{GAMEPAD_BUTTON_RIGHT_FACE_UP, GAMEPAD_BUTTON_RIGHT_FACE_DOWN}, {0, 0, false, false}},
        {{GAMEPAD_BUTTON_RIGHT_FACE_RIGHT}, {0, 1, false, false}},
        {{GAMEPAD_BUTTON_RIGHT_FACE_LEFT, GAMEPAD_BUTTON_LEFT_FACE_UP}, {0, -1, false, false}},
    };
    for (auto const& [buttons, expected] : cases) {
        buttonsDown = buttons;
        EXPECT_EQ(stateOf(GamepadController(0)), expected) << "buttons held: " << buttons.size();
        EXPECT_EQ(stateOf(GamepadController(1)), State(0, 0, false, false));
    }
}

// A controller that always answers the same.
class FixedController : public Controller {
public:
    FixedController(float forward, float side, AdditionalKeys keys = {}) : forward(forward), side(side), keys(keys) {}
    float getForwardMovement() const override { return forward; }
    float getSideMovement() const override { return side; }
    AdditionalKeys getAdditionalKeys() const override { return keys; }

private:
    float forward, side;
    AdditionalKeys keys;
};

TEST(CompositeController, FirstNonZeroValuePerAxisSwitchesFromTheFirst) {
    struct Case {
        float firstForward, firstSide, secondForward, secondSide, forward, side;
    };
    Case const cases[] = {
        {1, 0, 1, 0, 1, 0},    // both forward: the first's value, not 2
        {0, 0, -1, 0, -1, 0},  // the second answers when the first is idle
        {0, 0, 0, -1, 0, -1},
        {1, 0, 0, 1, 1, 1},     // axes merge independently
        {-1, 1, 1, -1, -1, 1},  // the first wins a conflict
        {INFINITY, 0, 1, 0, INFINITY, 0},
    };
    for (auto const& c : cases) {
        CompositeController composite;
        composite.addController(
            std::make_shared<FixedController>(c.firstForward, c.firstSide, AdditionalKeys{false, true}));
        composite.addController(
            std::make_shared<FixedController>(c.secondForward, c.secondSide, AdditionalKeys{true, false}));
        EXPECT_EQ(stateOf(composite), State(c.forward, c.side, false, true)) << c.firstForward << ", " << c.firstSide;
    }
    CompositeController withNaN;
    withNaN.addController(std::make_shared<FixedController>(NAN, 0));
    withNaN.addController(std::make_shared<FixedController>(1, 0));
    EXPECT_TRUE(std::isnan(withNaN.getForwardMovement()));  // a NaN is not zero either
    EXPECT_EQ(stateOf(CompositeController()), State(0, 0, false, false));
}

}  // namespace
