#include "coarse-boxes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <utility>

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

// A grid of cells of side over the bounds, as cells along each axis.
struct Grid {
    Bounds bounds;
    float side;
    std::array<int, 3> cells;
};

// The pieces of the solid boxes cut by the grid's cells, and the boxes'
// volume; none when they are too many.
std::optional<std::vector<Piece>> piecesOf(std::vector<AABox const*> const& boxes, Grid const& grid, double& volume) {
    std::vector<Piece> pieces;
    for (AABox const* box : boxes) {
        if (!solid(*box)) continue;
        Extent const extent = extentOf(*box);
        std::array<int, 3> first{}, last{};
        size_t count = 1;
        for (int a = 0; a < 3; ++a) {
            float const low = (extent.low[a] - grid.bounds.low[a]) / grid.side,
                        high = (extent.high[a] - grid.bounds.low[a]) / grid.side;
            first[a] = std::clamp(static_cast<int>(std::floor(low)), 0, grid.cells[a] - 1);
            last[a] = std::clamp(static_cast<int>(std::ceil(high)) - 1, first[a], grid.cells[a] - 1);
            count *= static_cast<size_t>(last[a] - first[a] + 1);
        }
        if (pieces.size() + count > MOST_PIECES) return std::nullopt;
        raylib::Vector3 const size = box->aabb.size;
        volume += static_cast<double>(size.x) * size.y * size.z;
        for (int z = first[2]; z <= last[2]; ++z) {
            for (int y = first[1]; y <= last[1]; ++y) {
                for (int x = first[0]; x <= last[0]; ++x) {
                    std::array<int, 3> const at{x, y, z};
                    double inside = 1;
                    for (int a = 0; a < 3; ++a) {
                        float const low = grid.bounds.low[a] + at[a] * grid.side;
                        inside *=
                            std::max(0.0f, std::min(extent.high[a], low + grid.side) - std::max(extent.low[a], low));
                    }
                    auto const cell = static_cast<uint32_t>((z * grid.cells[1] + y) * grid.cells[0] + x);
                    if (inside > 0) pieces.push_back({cell, packedColor(box->color), inside});
                }
            }
        }
    }
    return pieces;
}

// The cells at least half filled by the pieces, sorted by cell, each a box
// of the colour that fills most of it.
std::vector<AABox> filledCells(std::vector<Piece> const& pieces, Grid const& grid) {
    double const cellVolume = static_cast<double>(grid.side) * grid.side * grid.side;
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
        int const x = static_cast<int>(cell % grid.cells[0]),
                  y = static_cast<int>(cell / grid.cells[0] % grid.cells[1]),
                  z = static_cast<int>(cell / grid.cells[0] / grid.cells[1]);
        raylib::Vector3 const centre{grid.bounds.low[0] + (x + 0.5f) * grid.side,
                                     grid.bounds.low[1] + (y + 0.5f) * grid.side,
                                     grid.bounds.low[2] + (z + 0.5f) * grid.side};
        coarse.emplace_back(centre, raylib::Vector3{grid.side, grid.side, grid.side}, unpackedColor(colour));
    }
    return coarse;
}

}  // namespace

float coarseCellSide(std::vector<AABox const*> const& boxes) {
    Bounds const bounds = boundsOf(boxes);
    if (bounds.empty()) return 0;
    float extent = 0;
    for (int a = 0; a < 3; ++a) extent = std::max(extent, bounds.high[a] - bounds.low[a]);
    return std::max(2 * bounds.smallest, extent / CELLS_A_SIDE);
}

std::vector<AABox> coarseBoxes(std::vector<AABox const*> const& boxes, float side) {
    Grid grid{boundsOf(boxes), side, {}};
    if (grid.bounds.empty() || !(side > 0)) return {};
    for (int a = 0; a < 3; ++a) {
        float const count = std::ceil((grid.bounds.high[a] - grid.bounds.low[a]) / side);
        if (!(count <= CELLS_A_SIDE + 1)) return {};
        grid.cells[a] = std::max(1, static_cast<int>(count));
    }
    double volume = 0;
    std::optional<std::vector<Piece>> pieces = piecesOf(boxes, grid, volume);
    if (!pieces) return {};
    std::sort(pieces->begin(), pieces->end(),
              [](Piece const& a, Piece const& b) { return std::pair(a.cell, a.colour) < std::pair(b.cell, b.colour); });
    std::vector<AABox> coarse = filledCells(*pieces, grid);
    double const coarseVolume = static_cast<double>(side) * side * side * static_cast<double>(coarse.size());
    if (std::abs(coarseVolume - volume) > VOLUME_STRAY * volume) return {};
    return coarse;
}
