#pragma once

#include <memory>
#include <vector>

// The two switches a controller reports besides movement; held states.
struct AdditionalKeys {
    bool reset = false;
    bool showInfo = false;
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

// W/Up and S/Down move forward and back, D/Right and A/Left to the sides,
// R resets, the apostrophe shows the information box.
class KeyboardController : public Controller {
public:
    float getForwardMovement() const override;
    float getSideMovement() const override;
    AdditionalKeys getAdditionalKeys() const override;
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
