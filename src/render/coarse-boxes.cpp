#include "coarse-boxes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

#include "box-faces.h"

namespace {

constexpr int CELLS_A_SIDE = 64;
// The most pieces of boxes cut by cells that a chunk's grid is made from.
constexpr size_t MOST_PIECES = size_t{1} << 20;
// How far the grid's volume may stray from the boxes'.
constexpr double VOLUME_STRAY = 1.0 / 8;

struct Bounds {
    std::array<float, 3> low{}, high{};
    float smallest = std::numeric_limits<float>::infinity();
    bool empty() const { return std::isinf(smallest); }
};

// Where a box starts and ends along each axis, as it is drawn.
struct Extent {
    std::array<float, 3> low, high;
};
Extent extentOf(AABox const& box) {
    Extent extent{};
    for (int a = 0; a < 3; ++a) {
        FacesOnAxis const two = facesOnAxis(box, a);
        extent.low[a] = two.planes[0], extent.high[a] = two.planes[1];
    }
    return extent;
}

Bounds boundsOf(std::vector<AABox const*> const& boxes) {
    Bounds bounds;
    for (AABox const* box : boxes) {
        if (!solid(*box)) continue;
        Extent const extent = extentOf(*box);
        raylib::Vector3 const size = box->aabb.size;
        for (int a = 0; a < 3; ++a) {
            bounds.low[a] = bounds.empty() ? extent.low[a] : std::min(bounds.low[a], extent.low[a]);
            bounds.high[a] = bounds.empty() ? extent.high[a] : std::max(bounds.high[a], extent.high[a]);
        }
        bounds.smallest = std::min({bounds.smallest, size.x, size.y, size.z});
    }
    return bounds;
}

// The part of a box inside a cell, with the box's colour.
struct Piece {
    uint32_t cell;
    uint32_t colour;
    double volume;
};

}  // namespace

float coarseCellSide(std::vector<AABox const*> const& boxes) {
    Bounds const bounds = boundsOf(boxes);
    if (bounds.empty()) return 0;
    float extent = 0;
    for (int a = 0; a < 3; ++a) extent = std::max(extent, bounds.high[a] - bounds.low[a]);
    return std::max(2 * bounds.smallest, extent / CELLS_A_SIDE);
}

std::vector<AABox> coarseBoxes(std::vector<AABox const*> const& boxes, float side) {
    Bounds const bounds = boundsOf(boxes);
    if (bounds.empty() || !(side > 0)) return {};
    std::array<int, 3> cells{};
    for (int a = 0; a < 3; ++a) {
        float const count = std::ceil((bounds.high[a] - bounds.low[a]) / side);
        if (!(count <= CELLS_A_SIDE + 1)) return {};
        cells[a] = std::max(1, static_cast<int>(count));
    }
    std::vector<Piece> pieces;
    double volume = 0;
    for (AABox const* box : boxes) {
        if (!solid(*box)) continue;
        Extent const extent = extentOf(*box);
        std::array<int, 3> first{}, last{};
        size_t count = 1;
        for (int a = 0; a < 3; ++a) {
            float const low = (extent.low[a] - bounds.low[a]) / side, high = (extent.high[a] - bounds.low[a]) / side;
            first[a] = std::clamp(static_cast<int>(std::floor(low)), 0, cells[a] - 1);
            last[a] = std::clamp(static_cast<int>(std::ceil(high)) - 1, first[a], cells[a] - 1);
            count *= static_cast<size_t>(last[a] - first[a] + 1);
        }
        if (pieces.size() + count > MOST_PIECES) return {};
        raylib::Vector3 const size = box->aabb.size;
        volume += static_cast<double>(size.x) * size.y * size.z;
        for (int z = first[2]; z <= last[2]; ++z) {
            for (int y = first[1]; y <= last[1]; ++y) {
                for (int x = first[0]; x <= last[0]; ++x) {
                    std::array<int, 3> const at{x, y, z};
                    double inside = 1;
                    for (int a = 0; a < 3; ++a) {
                        float const low = bounds.low[a] + at[a] * side;
                        inside *= std::max(0.0f, std::min(extent.high[a], low + side) - std::max(extent.low[a], low));
                    }
                    auto const cell = static_cast<uint32_t>((z * cells[1] + y) * cells[0] + x);
                    if (inside > 0) pieces.push_back({cell, packedColor(box->color), inside});
                }
            }
        }
    }
    std::sort(pieces.begin(), pieces.end(),
              [](Piece const& a, Piece const& b) { return std::pair(a.cell, a.colour) < std::pair(b.cell, b.colour); });
    double const cellVolume = static_cast<double>(side) * side * side;
    std::vector<AABox> coarse;
    for (size_t first = 0; first < pieces.size();) {
        uint32_t const cell = pieces[first].cell;
        double filled = 0, most = 0;
        uint32_t colour = 0;
        size_t last = first;
        while (last < pieces.size() && pieces[last].cell == cell) {
            size_t const run = last;
            double ofColour = 0;
            while (last < pieces.size() && pieces[last].cell == cell && pieces[last].colour == pieces[run].colour)
                ofColour += pieces[last++].volume;
            filled += ofColour;
            if (ofColour > most) most = ofColour, colour = pieces[run].colour;
        }
        first = last;
        if (filled < cellVolume / 2) continue;
        int const x = static_cast<int>(cell % cells[0]), y = static_cast<int>(cell / cells[0] % cells[1]),
                  z = static_cast<int>(cell / cells[0] / cells[1]);
        raylib::Vector3 const centre{bounds.low[0] + (x + 0.5f) * side, bounds.low[1] + (y + 0.5f) * side,
                                     bounds.low[2] + (z + 0.5f) * side};
        coarse.emplace_back(centre, raylib::Vector3{side, side, side}, unpackedColor(colour));
    }
    double const coarseVolume = cellVolume * static_cast<double>(coarse.size());
    if (std::abs(coarseVolume - volume) > VOLUME_STRAY * volume) return {};
    return coarse;
}
