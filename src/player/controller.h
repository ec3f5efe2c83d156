#pragma once

#include <array>
#include <memory>
#include <vector>

// What keys can be bound to, each to one or two keys (raylib's key codes).
enum Action {
    MOVE_FORWARD,
    MOVE_BACK,
    MOVE_LEFT,
    MOVE_RIGHT,
    RESET,
    SHOW_INFO,
    RELOAD,
    FULLSCREEN,
    SCREENSHOT,
    OPEN_SETTINGS,
    FLY,
    FLY_UP,
    FLY_DOWN,
    CHAT,
    LIST_PLAYERS,
    ACTION_COUNT
};
// The keys of each action; 0 for none.
using KeyBindings = std::array<std::array<int, 2>, ACTION_COUNT>;

// W/Up and S/Down move forward and back, D/Right and A/Left to the sides,
// R resets, the apostrophe shows the information box, F5 reads the scene
// again, F11 switches fullscreen, F12 saves a screenshot, F1 opens the
// settings, V lifts the player into the free camera and lands it, Space and
// the left Shift fly up and down; on a server, T opens the chat line and Tab
// lists the players while held (raylib's key codes).
inline constexpr KeyBindings DEFAULT_KEYS = {{{87, 265},
                                              {83, 264},
                                              {65, 263},
                                              {68, 262},
                                              {82, 0},
                                              {39, 0},
                                              {294, 0},
                                              {300, 0},
                                              {301, 0},
                                              {290, 0},
                                              {86, 0},
                                              {32, 0},
                                              {340, 0},
                                              {84, 0},
                                              {258, 0}}};
// In a browser, which keeps F1, F5, F11 and F12 for itself: L reads the
// scene again, F switches fullscreen, P saves a screenshot, O opens the
// settings; the rest as above.
inline constexpr KeyBindings BROWSER_KEYS = {{{87, 265},
                                              {83, 264},
                                              {65, 263},
                                              {68, 262},
                                              {82, 0},
                                              {39, 0},
                                              {76, 0},
                                              {70, 0},
                                              {80, 0},
                                              {79, 0},
                                              {86, 0},
                                              {32, 0},
                                              {340, 0},
                                              {84, 0},
                                              {258, 0}}};
#ifdef __EMSCRIPTEN__
inline constexpr KeyBindings PLATFORM_KEYS = BROWSER_KEYS;
#else
inline constexpr KeyBindings PLATFORM_KEYS = DEFAULT_KEYS;
#endif

// The switches a controller reports besides movement; held states. Up and
// down move the free camera.
struct AdditionalKeys {
    bool reset = false;
    bool showInfo = false;
    bool up = false, down = false;
};

// Turns an input device into two movement axes (-1, 0 or +1 each) and the
// two switches. Every call polls the device afresh.
class Controller {
public:
    virtual ~Controller() = default;
    virtual float getForwardMovement() const = 0;
    virtual float getSideMovement() const = 0;
    virtual AdditionalKeys getAdditionalKeys() const = 0;
};

// The keys of the moves, reset and the information box, as bound: by
// default W/Up and S/Down forward and back, D/Right and A/Left to the sides,
// R resets, the apostrophe shows the information box. Of an action's two
// keys the first is polled first, the second only when the first is up.
class KeyboardController : public Controller {
public:
    explicit KeyboardController(KeyBindings const& keys = DEFAULT_KEYS) : keys(keys) {}
    float getForwardMovement() const override;
    float getSideMovement() const override;
    AdditionalKeys getAdditionalKeys() const override;

    KeyBindings const keys;

private:
    bool held(Action action) const;
};

// The four right-face buttons of one gamepad; it has no switches.
class GamepadController : public Controller {
public:
    explicit GamepadController(int gamepad) : gamepad(gamepad) {}
    float getForwardMovement() const override;
    float getSideMovement() const override;
    AdditionalKeys getAdditionalKeys() const override;

    int const gamepad;
};

// The left stick of one gamepad: forward when pushed up, to the right when
// pushed right, in proportion to the push beyond the dead zone; it has no
// switches.
class StickController : public Controller {
public:
    StickController(int gamepad, float deadZone) : gamepad(gamepad), deadZone(deadZone) {}
    float getForwardMovement() const override;
    float getSideMovement() const override;
    AdditionalKeys getAdditionalKeys() const override { return {}; }

    int const gamepad;
    float const deadZone;
};

// A stick's axis with the dead zone left out: 0 within it, and beyond it
// from 0 to 1 (or -1) as the axis goes on to its end.
float beyondDeadZone(float axis, float deadZone);

// The right stick of a gamepad, as it turns the view: right and down
// positive, beyond the dead zone.
struct StickLook {
    float x, y;
};
StickLook readStickLook(int gamepad, float deadZone);

// Merges its members: on each axis the first non-zero value in list order;
// the switches come from the first member alone.
class CompositeController : public Controller {
public:
    void addController(std::shared_ptr<Controller> controller);
    float getForwardMovement() const override;
    float getSideMovement() const override;
    AdditionalKeys getAdditionalKeys() const override;

    std::vector<std::shared_ptr<Controller>> controllers;

private:
    float firstNonZero(float (Controller::*axis)() const) const;
};
