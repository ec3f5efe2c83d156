#include "terrain-world.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>
#include <vector>

namespace {

// A 32-bit hash of a lattice point and the seed (a murmur finaliser), so that
// noise needs no tables and no generator whose sequence could change.
uint32_t hashOf(int x, int y, int z, uint32_t seed) {
    uint32_t h = seed * 0x9E3779B1u ^ static_cast<uint32_t>(x) * 0x85EBCA77u ^ static_cast<uint32_t>(y) * 0xC2B2AE3Du ^
                 static_cast<uint32_t>(z) * 0x27D4EB2Fu;
    h ^= h >> 16;
    h *= 0x85EBCA6Bu;
    h ^= h >> 13;
    h *= 0xC2B2AE35u;
    h ^= h >> 16;
    return h;
}

// A number in [0, 1) drawn for a lattice point.
double chance(int x, int y, int z, uint32_t seed) {
    return hashOf(x, y, z, seed) / 4294967296.0;
}

double smooth(double t) {
    return t * t * (3 - 2 * t);
}

// Value noise on a lattice of the given period, in [0, 1), smooth between
// the lattice points, in the x-z plane at height y.
double noise(double x, double z, int y, double period, uint32_t seed) {
    double const fx = x / period, fz = z / period;
    int const x0 = static_cast<int>(std::floor(fx)), z0 = static_cast<int>(std::floor(fz));
    double const tx = smooth(fx - x0), tz = smooth(fz - z0);
    auto const at = [&](int dx, int dz) { return chance(x0 + dx, y, z0 + dz, seed); };
    double const near = at(0, 0) + (at(1, 0) - at(0, 0)) * tx;
    double const far = at(0, 1) + (at(1, 1) - at(0, 1)) * tx;
    return near + (far - near) * tz;
}

// Octaves of noise, each of half the period and half the weight of the one
// before, in [0, 1).
double layered(double x, double z, int y, double period, int octaves, uint32_t seed) {
    double sum = 0, weight = 1, weights = 0;
    for (int i = 0; i < octaves; ++i, period /= 2, weight /= 2) {
        sum += weight * noise(x, z, y, period, seed + i);
        weights += weight;
    }
    return sum / weights;
}

struct Cell {
    int x, y, z;
    bool operator==(Cell const& other) const { return x == other.x && y == other.y && z == other.z; }
};
struct CellHash {
    size_t operator()(Cell const& c) const { return hashOf(c.x, c.y, c.z, 0); }
};

class SceneWriter {
public:
    explicit SceneWriter(std::ostream& out) : out(out) {}
    void column(int x, int z, int height, char const* colour) {
        out << "rect (" << x + 0.5 << ", " << height / 2.0 << ", " << z + 0.5 << "), (1, " << height << ", 1), "
            << colour << '\n';
    }
    // A voxel, unless the cell holds one already.
    bool voxel(Cell const& cell, char const* colour) {
        if (!taken.insert(cell).second) return false;
        out << "rect (" << cell.x + 0.5 << ", " << cell.y + 0.5 << ", " << cell.z + 0.5 << "), (1, 1, 1), " << colour
            << '\n';
        return true;
    }

private:
    std::ostream& out;
    std::unordered_set<Cell, CellHash> taken;
};

// A trunk five to eight voxels tall on the column, and a ball of leaves of
// radius three around its top, above the ground of the columns around.
template <class Ground>
void writeTree(SceneWriter& scene, TerrainCount& count, int x, int z, Ground const& ground, uint32_t seed) {
    int const trunk = 5 + static_cast<int>(chance(x, 1, z, seed) * 4);
    int const top = ground(x, z) + trunk;
    for (int y = ground(x, z); y < top; ++y) count.trunks += scene.voxel({x, y, z}, "brown");
    for (int dy = -2; dy <= 3; ++dy) {
        for (int dz = -3; dz <= 3; ++dz) {
            for (int dx = -3; dx <= 3; ++dx) {
                if (dx * dx + dy * dy + dz * dz > 10 || top + dy < ground(x + dx, z + dz)) continue;
                count.leaves += scene.voxel({x + dx, top + dy, z + dz}, "green");
            }
        }
    }
}

}  // namespace

TerrainCount writeTerrainScene(std::ostream& out, TerrainShape const& shape) {
    SceneWriter scene(out);
    TerrainCount count;
    int const from = -shape.side / 2, to = from + shape.side;
    std::vector<int> heights(static_cast<size_t>(shape.side) * shape.side);
    auto const height = [&](int x, int z) -> int& { return heights[(z - from) * shape.side + (x - from)]; };
    out << "# A block world of " << shape.side << " x " << shape.side << " columns, seed " << shape.seed << '\n';
    for (int z = from; z < to; ++z) {
        for (int x = from; x < to; ++x) {
            // Hills over plains: the broad noise, raised to make valleys wide.
            double const land = std::pow(layered(x, z, 0, 160, 5, shape.seed), 1.6);
            int const h = std::clamp(static_cast<int>(2 + land * 1.3 * shape.highest), 1, shape.highest);
            height(x, z) = h;
            scene.column(x, z, h, h <= shape.sandUpTo ? "brown" : "green");
            ++count.columns;
            count.terrainBlocks += h;
        }
    }
    if (from <= 0 && 0 < to) count.heightAtOrigin = height(0, 0);
    for (int z = from; z < to; ++z) {
        for (int x = from; x < to; ++x) {
            int const h = height(x, z);
            if (h <= shape.sandUpTo) continue;
            double const roll = chance(x, 0, z, shape.seed + 100);
            // Trees stand off the world's edge, so their leaves stay above it.
            bool const inside = x - 3 >= from && x + 3 < to && z - 3 >= from && z + 3 < to;
            if (roll < 0.0008 && inside) {
                writeTree(scene, count, x, z, height, shape.seed);
            } else if (roll > 0.78) {
                count.plants += scene.voxel({x, h, z}, "red");
            }
        }
    }
    for (int y = shape.cloudsFrom; y < shape.cloudsTo; ++y) {
        for (int z = from; z < to; ++z) {
            for (int x = from; x < to; ++x) {
                // Flat clouds: thick in the middle of their layer, thin at its edges.
                double const middle = 1 - std::abs(y - (shape.cloudsFrom + shape.cloudsTo - 1) / 2.0) / 4;
                if (layered(x, z, y / 3, 48, 3, shape.seed + 200) * middle > 0.62)
                    count.clouds += scene.voxel({x, y, z}, "light_gray");
            }
        }
    }
    return count;
}
