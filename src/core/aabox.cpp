#include "aabox.h"

AABox::AABox(raylib::Vector3 position, raylib::Vector3 size, raylib::Color color)
    : position(position), aabb(position, size), color(color) {}

void AABox::draw() {
    raylib::DrawCubeV(position, aabb.size, color);
}
