// The controllers against a fake of raylib's input polls: this binary links
// the controller code without raylib, and the fake records every poll.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "controller.h"
#include "fixed-controller.h"
#include "raylib-api.h"

namespace {

std::set<int> keysDown;
std::set<int> buttonsDown;  // buttons of gamepad 0
std::vector<int> keyPolls;

}  // namespace

namespace raylib {

extern "C" bool IsKeyDown(int key) {
    keyPolls.push_back(key);
    return keysDown.count(key) != 0;
}

extern "C" bool IsGamepadButtonDown(int gamepad, int button) {
    return gamepad == 0 && buttonsDown.count(button) != 0;
}

}  // namespace raylib

namespace {

using namespace raylib;

struct KeyCase {
    std::set<int> keys;
    float forward, side;
    bool reset, showInfo;
};

TEST(KeyboardController, EveryCombinationOfKeys) {
    KeyCase const cases[] = {
        {{}, 0, 0, false, false},
        {{KEY_W}, 1, 0, false, false},
        {{KEY_UP}, 1, 0, false, false},
        {{KEY_W, KEY_UP}, 1, 0, false, false},
        {{KEY_S}, -1, 0, false, false},
        {{KEY_DOWN}, -1, 0, false, false},
        {{KEY_W, KEY_S}, 0, 0, false, false},
        {{KEY_W, KEY_UP, KEY_DOWN}, 0, 0, false, false},
        {{KEY_D}, 0, 1, false, false},
        {{KEY_RIGHT}, 0, 1, false, false},
        {{KEY_A}, 0, -1, false, false},
        {{KEY_LEFT}, 0, -1, false, false},
        {{KEY_A, KEY_RIGHT}, 0, 0, false, false},
        {{KEY_W, KEY_D}, 1, 1, false, false},
        {{KEY_S, KEY_LEFT}, -1, -1, false, false},
        {{KEY_R}, 0, 0, true, false},
        {{KEY_APOSTROPHE}, 0, 0, false, true},
        {{KEY_R, KEY_APOSTROPHE, KEY_UP}, 1, 0, true, true},
    };
    KeyboardController const keyboard;
    for (size_t i = 0; i < std::size(cases); ++i) {
        keysDown = cases[i].keys;
        EXPECT_EQ(keyboard.getForwardMovement(), cases[i].forward) << "case " << i;
        EXPECT_EQ(keyboard.getSideMovement(), cases[i].side) << "case " << i;
        AdditionalKeys const keys = keyboard.getAdditionalKeys();
        EXPECT_EQ(keys.reset, cases[i].reset) << "case " << i;
        EXPECT_EQ(keys.showInfo, cases[i].showInfo) << "case " << i;
    }
}

TEST(KeyboardController, PollsLetterBeforeArrowAndPositiveBeforeNegative) {
    KeyboardController const keyboard;
    keysDown = {KEY_W};
    keyPolls.clear();
    keyboard.getForwardMovement();
    EXPECT_EQ(keyPolls, (std::vector<int>{KEY_W, KEY_S, KEY_DOWN}));
    keysDown = {};
    keyPolls.clear();
    keyboard.getSideMovement();
    EXPECT_EQ(keyPolls, (std::vector<int>{KEY_D, KEY_RIGHT, KEY_A, KEY_LEFT}));
}

TEST(GamepadController, RightFaceButtonsAndNoSwitches) {
    struct Case { std::set<int> buttons; float forward, side; };
    Case const cases[] = {
        {{}, 0, 0},
        {{GAMEPAD_BUTTON_RIGHT_FACE_UP}, 1, 0},
        {{GAMEPAD_BUTTON_RIGHT_FACE_DOWN}, -1, 0},
        {{GAMEPAD_BUTTON_RIGHT_FACE_UP, GAMEPAD_BUTTON_RIGHT_FACE_DOWN}, 0, 0},
        {{GAMEPAD_BUTTON_RIGHT_FACE_RIGHT}, 0, 1},
        {{GAMEPAD_BUTTON_RIGHT_FACE_LEFT}, 0, -1},
        {{GAMEPAD_BUTTON_LEFT_FACE_UP, GAMEPAD_BUTTON_MIDDLE}, 0, 0},
    };
    GamepadController const gamepad(0);
    GamepadController const other(1);
    for (size_t i = 0; i < std::size(cases); ++i) {
        buttonsDown = cases[i].buttons;
        EXPECT_EQ(gamepad.getForwardMovement(), cases[i].forward) << "case " << i;
        EXPECT_EQ(gamepad.getSideMovement(), cases[i].side) << "case " << i;
        EXPECT_FALSE(gamepad.getAdditionalKeys().reset);
        EXPECT_FALSE(gamepad.getAdditionalKeys().showInfo);
        EXPECT_EQ(other.getForwardMovement(), 0.0f);
    }
    buttonsDown = {};
}

TEST(CompositeController, FirstNonZeroValuePerAxis) {
    struct Case { float firstForward, firstSide, secondForward, secondSide, forward, side; };
    float const nan = std::nanf("");
    Case const cases[] = {
        {1, 0, 1, 0, 1, 0},     // both forward: the first's value, not 2
        {0, 0, -1, 0, -1, 0},   // the second answers when the first is idle
        {0, 0, 0, -1, 0, -1},
        {1, 0, 0, 1, 1, 1},     // axes merge independently
        {-1, 1, 1, -1, -1, 1},  // the first wins a conflict
        {0, 0, 0, 0, 0, 0},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        CompositeController composite;
        composite.addController(std::make_shared<FixedController>(cases[i].firstForward, cases[i].firstSide));
        composite.addController(std::make_shared<FixedController>(cases[i].secondForward, cases[i].secondSide));
        EXPECT_EQ(composite.getForwardMovement(), cases[i].forward) << "case " << i;
        EXPECT_EQ(composite.getSideMovement(), cases[i].side) << "case " << i;
    }
    CompositeController withNaN;
    withNaN.addController(std::make_shared<FixedController>(nan, 0));
    withNaN.addController(std::make_shared<FixedController>(1, 0));
    EXPECT_TRUE(std::isnan(withNaN.getForwardMovement()));
}

TEST(CompositeController, SwitchesComeFromTheFirstMemberAlone) {
    CompositeController empty;
    EXPECT_EQ(empty.getForwardMovement(), 0.0f);
    EXPECT_EQ(empty.getSideMovement(), 0.0f);
    EXPECT_FALSE(empty.getAdditionalKeys().reset);
    EXPECT_FALSE(empty.getAdditionalKeys().showInfo);

    CompositeController composite;
    composite.addController(std::make_shared<FixedController>(0, 0, AdditionalKeys{false, true}));
    composite.addController(std::make_shared<FixedController>(0, 0, AdditionalKeys{true, false}));
    EXPECT_FALSE(composite.getAdditionalKeys().reset);
    EXPECT_TRUE(composite.getAdditionalKeys().showInfo);
}

TEST(CompositeController, KeyboardFirstGamepadSecond) {
    CompositeController composite;
    composite.addController(std::make_shared<KeyboardController>());
    composite.addController(std::make_shared<GamepadController>(0));
    keysDown = {KEY_W};
    buttonsDown = {GAMEPAD_BUTTON_RIGHT_FACE_UP, GAMEPAD_BUTTON_RIGHT_FACE_RIGHT};
    EXPECT_EQ(composite.getForwardMovement(), 1.0f);
    EXPECT_EQ(composite.getSideMovement(), 1.0f);
    keysDown = {};
    buttonsDown = {GAMEPAD_BUTTON_RIGHT_FACE_DOWN};
    EXPECT_EQ(composite.getForwardMovement(), -1.0f);
    buttonsDown = {};
}

}  // namespace
