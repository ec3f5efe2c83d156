#include "voxel-builders.h"

#include <iostream>
#include <stdexcept>

namespace {

constexpr raylib::Color CUBE_COLOR{0, 0, 0, 255};
constexpr raylib::Color MOUNTAIN_COLOR{255, 161, 0, 255};
constexpr float CUBE_MIN_SIZE_FACTOR = 0.9f;
constexpr float SLAB_THICKNESS = 0.1f;
constexpr float SLAB_INSET = 0.25f;
constexpr float SLAB_MIN_WIDTH = 0.025f;

}  // namespace

void refuse(std::string const& why) {
    std::clog << why << std::endl;
    throw std::runtime_error(why);
}

raylib::Color pickColor(ColorScheme const& colors) {
    return colors[generateRandom<int>(0, static_cast<int>(colors.size()))];
}

std::shared_ptr<AABox> buildVoxel(raylib::Vector3 position, raylib::Vector3 size, ColorScheme colors) {
    return std::make_shared<AABox>(position, size, pickColor(colors));
}

std::shared_ptr<AABox> buildRandomCube(raylib::Vector3 regionMin, raylib::Vector3 regionMax, raylib::Vector3 maxSize) {
    // The order of the six draws fixes the world a seed builds.
    raylib::Vector3 size;
    size.x = generateRandom<float>(CUBE_MIN_SIZE_FACTOR * maxSize.x, maxSize.x);
    size.y = generateRandom<float>(CUBE_MIN_SIZE_FACTOR * maxSize.y, maxSize.y);
    size.z = generateRandom<float>(CUBE_MIN_SIZE_FACTOR * maxSize.z, maxSize.z);
    raylib::Vector3 position;
    position.x = generateRandom<float>(regionMin.x, regionMax.x - size.x);
    position.y = generateRandom<float>(regionMin.y, regionMax.y - size.y);
    position.z = generateRandom<float>(regionMin.z, regionMax.z - size.z);
    return std::make_shared<AABox>(position, size, CUBE_COLOR);
}

std::vector<std::shared_ptr<Entity>> buildMountain(raylib::Vector3 position, raylib::Vector3 size) {
    std::vector<std::shared_ptr<Entity>> slabs;
    float y = static_cast<float>(static_cast<double>(position.y) - static_cast<double>(size.y) * 0.5);
    float width = size.x;
    float depth = size.z;
    // The slab's centre is compared with size.y, not with the mountain's top.
    while (size.y > y) {
        // A huge (or infinite) mountain would never end: at such sizes the
        // float steps no longer change the height or the width.
        if (slabs.size() == MAX_MOUNTAIN_SLABS) {
            refuse("Mountain refused: it would have more than " + std::to_string(MAX_MOUNTAIN_SLABS) + " slabs");
        }
        slabs.push_back(std::make_shared<AABox>(raylib::Vector3{position.x, y, position.z},
                                                raylib::Vector3{width, SLAB_THICKNESS, depth}, MOUNTAIN_COLOR));
        y = y + SLAB_THICKNESS;
        width = width - SLAB_INSET;
        if (width <= SLAB_MIN_WIDTH) break;
        depth = depth - SLAB_INSET;
        if (depth <= SLAB_MIN_WIDTH) break;
    }
    return slabs;
}

std::vector<std::shared_ptr<Entity>> generateVoxelHouse(raylib::Vector3 position, raylib::Vector3 size,
                                                        raylib::Vector3 /*unused*/, ColorScheme colors) {
    return {buildVoxel(position, size, std::move(colors))};
}
