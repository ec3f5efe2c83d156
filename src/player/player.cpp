#include "player.h"

namespace {

// The smallest positive normal float. Added to a landing height, it changes
// the result only when the sum before it is zero.
constexpr double SMALLEST_NORMAL = 0x1p-126;

// base - length / 2 and base + length / 2, widened to double and rounded to
// float once. Whether the probe box touches the top the player lands on
// depends on this order of operations.
float halfBelow(float base, float length) {
    return static_cast<float>(static_cast<double>(base) - static_cast<double>(length) * 0.5);
}

float halfAbove(float base, float length) {
    return static_cast<float>(static_cast<double>(base) + static_cast<double>(length) * 0.5);
}

}  // namespace

Player::Player() {
    placeBoxes();
}

void Player::placeBoxes() {
    raylib::Vector3 const body{position.x, halfBelow(position.y, height), position.z};
    aabb = AABB(body, size);
    raylib::Vector3 const feet{position.x, halfBelow(aabb.min.y, feetHeight), position.z};
    feetAABB = AABB(feet, {size.x, feetHeight, size.z});
}

void Player::move(raylib::Vector3 target, std::shared_ptr<Intersector> const& intersector) {
    // Whether the player stands is decided before anything moves.
    bool const standing = intersector->findIntersection(feetAABB) != nullptr;

    raylib::Vector3 center{target.x, halfBelow(target.y, height), target.z};
    if (intersector->findIntersection(AABB(center, size))) {
        // Blocked: try to climb by the full step height in this one move.
        center.y = center.y + stepHeight;
        if (intersector->findIntersection(AABB(center, size))) return;
    }

    if (standing) {
        fallSpeed = 0.0f;
    } else {
        center.y = center.y - fallSpeed;
        fallSpeed = static_cast<float>(static_cast<double>(fallSpeed) + GRAVITY_STEP);
        // The body at its lowered place, lengthened by half the new speed at
        // the bottom and at the top.
        AABB const fallBox(center, {size.x, size.y + fallSpeed, size.z});
        if (auto const hit = intersector->findIntersection(fallBox)) {
            float const feetTop = hit->getAABB().max.y + feetHeight;
            center.y =
                static_cast<float>(static_cast<double>(feetTop) + static_cast<double>(height) * 0.5 + SMALLEST_NORMAL);
            // Landed. Without this reset a probe that ends a hair above the
            // top never reports standing, the speed keeps growing and the
            // lengthened fall box eventually misses the top: the player
            // would drop through the floor.
            fallSpeed = 0.0f;
        }
    }

    position = {target.x, halfAbove(center.y, size.y), target.z};
    placeBoxes();
}
