#pragma once

#include <memory>

#include "aabb.h"
#include "intersector.h"
#include "start-view.h"
#include "weapon.h"

// The one player: an upright box carrying the eye point. move() decides
// where the player really goes against the collision index: it refuses moves
// into obstacles, climbs low steps, falls while nothing is underneath and
// lands on top of what it falls onto.
class Player final {
public:
    // Added to fallSpeed on every airborne move, in double precision.
    static constexpr double GRAVITY_STEP = 0.016333333333333335;

    Player();
    virtual AABB const& getAABB() const { return aabb; }
    void move(raylib::Vector3 target, std::shared_ptr<Intersector> const& intersector);

    float height = 1.6f;
    float stepHeight = 0.31f;
    float feetHeight = 0.01f;
    // The eye point: horizontally the body's centre, vertically its top.
    raylib::Vector3 position = START_POSITION;
    raylib::Vector3 size{0.4f, 1.6f, 0.4f};
    AABB aabb;
    // A thin probe box directly under the body: whether the player stands.
    AABB feetAABB;
    float fallSpeed = 0.0f;
    std::shared_ptr<Weapon> weapon;

private:
    void placeBoxes();
};
