#pragma once

// A controller with fixed answers.
#include "controller.h"

class FixedController : public Controller {
public:
    FixedController(float forward, float side, AdditionalKeys keys = {}) : forward(forward), side(side), keys(keys) {}
    float getForwardMovement() const override { return forward; }
    float getSideMovement() const override { return side; }
    AdditionalKeys getAdditionalKeys() const override { return keys; }

    float forward, side;
    AdditionalKeys keys;
};
