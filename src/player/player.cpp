#include "player.h"

#include <algorithm>
#include <cmath>

namespace {

// The smallest positive normal float. Added to a landing height, it changes
// the result only when the sum before it is zero.
constexpr double SMALLEST_NORMAL = 0x1p-126;

// The most steps a walk is cut into: a frame of a minute walks a few
// thousand.
constexpr float MAX_STEPS = 100000;

// base - length / 2 and base + length / 2, widened to double and rounded to
// float once. Whether the probe box touches the top the player lands on
// depends on this order of operations.
float halfBelow(float base, float length) {
    return static_cast<float>(static_cast<double>(base) - static_cast<double>(length) * 0.5);
}

float halfAbove(float base, float length) {
    return static_cast<float>(static_cast<double>(base) + static_cast<double>(length) * 0.5);
}

// A move's speed after a move's gravity, added in double precision.
float withGravity(float speed) {
    return static_cast<float>(static_cast<double>(speed) + Player::GRAVITY_STEP);
}

}  // namespace

Player::Player() {
    placeBoxes();
}

void Player::placeAt(raylib::Vector3 eye) {
    position = eye;
    fallSpeed = 0;
    placeBoxes();
}

void Player::placeBoxes() {
    raylib::Vector3 const body{position.x, halfBelow(position.y, height), position.z};
    aabb = AABB(body, size);
    raylib::Vector3 const feet{position.x, halfBelow(aabb.min.y, feetHeight), position.z};
    feetAABB = AABB(feet, {size.x, feetHeight, size.z});
}

std::optional<raylib::Vector3> Player::freeCenter(raylib::Vector3 target, Intersector const& intersector) const {
    raylib::Vector3 center{target.x, halfBelow(target.y, height), target.z};
    if (intersector.findIntersection(AABB(center, size))) {
        // Blocked: try to climb by the full step height in this one move.
        center.y = center.y + stepHeight;
        if (intersector.findIntersection(AABB(center, size))) return std::nullopt;
    }
    return center;
}

void Player::commit(raylib::Vector3 target, float centerY) {
    position = {target.x, halfAbove(centerY, size.y), target.z};
    placeBoxes();
}

void Player::jump(float height, Intersector const& intersector) {
    if (fallSpeed != 0 || intersector.findIntersection(feetAABB) == nullptr) return;
    // A speed of v a move, less a gravity step g each move, rises about
    // v * v / 2g + v / 2: solved for the height.
    double const g = GRAVITY_STEP;
    fallSpeed = -static_cast<float>(std::sqrt(g * g / 4 + 2 * g * height) - g / 2);
}

void Player::move(raylib::Vector3 target, std::shared_ptr<Intersector> const& intersector) {
    // Whether the player stands is decided before anything moves.
    bool const standing = intersector->findIntersection(feetAABB) != nullptr;

    std::optional<raylib::Vector3> free = freeCenter(target, *intersector);
    if (!free) return;
    raylib::Vector3 center = *free;

    if (fallSpeed < 0) {
        // Rising in a jump, until a ceiling is in the way.
        raylib::Vector3 const raised{center.x, center.y - fallSpeed, center.z};
        if (intersector->isEmpty(AABB(raised, size))) {
            center = raised;
            fallSpeed = withGravity(fallSpeed);
        } else {
            fallSpeed = 0.0f;
        }
    } else if (standing) {
        fallSpeed = 0.0f;
    } else {
        center.y = center.y - fallSpeed;
        fallSpeed = withGravity(fallSpeed);
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
    commit(target, center.y);
}

bool Player::step(raylib::Vector3 target, Intersector const& intersector) {
    std::optional<raylib::Vector3> const free = freeCenter(target, intersector);
    if (free) commit(target, free->y);
    return free.has_value();
}

void Player::walk(raylib::Vector3 target, std::shared_ptr<Intersector> const& intersector, bool slide) {
    raylib::Vector3 const from = position;
    auto const arrived = [&](raylib::Vector3 at) { return position.x == at.x && position.z == at.z; };
    float const dx = target.x - from.x, dz = target.z - from.z;
    float const stepsNeeded = std::ceil(std::sqrt(dx * dx + dz * dz) / SAFE_STEP);
    // A move of no finite length, or of tens of thousands of units, is one move, as it
    // always was: no frame asks for it.
    int const steps = stepsNeeded <= MAX_STEPS ? static_cast<int>(stepsNeeded) : 1;
    if (steps <= 1) {
        move(target, intersector);
        if (slide && !arrived(target)) {
            raylib::Vector3 const alongX{target.x, target.y, from.z};
            move(alongX, intersector);
            if (!arrived(alongX)) move({from.x, target.y, target.z}, intersector);
        }
        return;
    }
    // Each step goes on from where the last one ended, at the height it
    // reached: a long walk climbs one stair after another.
    float const stepX = dx / steps, stepZ = dz / steps;
    for (int i = 1; i <= steps; ++i) {
        bool const last = i == steps;
        auto const tried = [&](float byX, float byZ) {
            raylib::Vector3 const next{position.x + byX, position.y, position.z + byZ};
            if (last) {
                move(next, intersector);
            } else {
                step(next, *intersector);
            }
            return arrived(next);
        };
        bool const taken =
            tried(stepX, stepZ) || (slide && ((stepX != 0 && tried(stepX, 0)) || (stepZ != 0 && tried(0, stepZ))));
        if (taken) continue;
        // Stopped short: the fall of this move happens where the walk ended.
        if (!last) move(position, intersector);
        return;
    }
}
