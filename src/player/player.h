#pragma once

#include <memory>
#include <optional>

#include "aabb.h"
#include "intersector.h"
#include "start-view.h"
#include "weapon.h"

// How fast the player walks, in units a second (along each axis: a diagonal
// walk is faster).
inline constexpr float MOVE_SPEED = 9.0f;

// The one player: an upright box carrying the eye point. move() decides
// where the player really goes against the collision index: it refuses moves
// into obstacles, climbs low steps, falls while nothing is underneath and
// lands on top of what it falls onto.
class Player final {
public:
    // Added to fallSpeed on every airborne move, in double precision.
    static constexpr double GRAVITY_STEP = 0.016333333333333335;

    // The longest horizontal move tested at its destination alone: well
    // under the body's width, so that one place and the next overlap and
    // nothing fits between them.
    static constexpr float SAFE_STEP = 0.25f;

    Player();
    virtual AABB const& getAABB() const { return aabb; }
    void move(raylib::Vector3 target, std::shared_ptr<Intersector> const& intersector);
    // Walks toward the target. A horizontal move up to SAFE_STEP long is one
    // move(); a longer one, as a slow frame asks for, is walked in equal
    // steps, each refused or climbed as move() does, and stops before the
    // first step refused: nothing is walked through, however thin. Only the
    // last step falls, so gravity is as for one move. Sliding, a refused step
    // is tried along x alone, then along z alone.
    void walk(raylib::Vector3 target, std::shared_ptr<Intersector> const& intersector, bool slide = false);
    // Puts the eye point at eye, standing still, whatever stands there.
    void placeAt(raylib::Vector3 eye);
    // Starts a jump that rises about height, when the player stands: the
    // next moves rise, slowing by gravity, until a ceiling stops them.
    void jump(float height, Intersector const& intersector);

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
    // Lifted out of walking by the free camera: no collision, no gravity.
    bool flying = false;
    std::shared_ptr<Weapon> weapon;

private:
    void placeBoxes();
    // The body's centre at the target, lifted by the step height when that
    // clears an obstacle; none when the lifted body is blocked too.
    std::optional<raylib::Vector3> freeCenter(raylib::Vector3 target, Intersector const& intersector) const;
    // Puts the eye point over the target at the body's centre height y.
    void commit(raylib::Vector3 target, float centerY);
    // A move without the fall: whether it was taken.
    bool step(raylib::Vector3 target, Intersector const& intersector);
};
