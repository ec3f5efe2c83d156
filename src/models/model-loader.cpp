#include "model-loader.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <vector>

#include "greedy-box.h"
#include "model-formats.h"
#include "packed-color.h"
#include "vox-file.h"
#include "vox-mesh.h"

// What a file gives: its meshes and solid boxes, or none and why.
struct LoadedModel::Read {
    raylib::Model model{};
    std::vector<raylib::BoundingBox> solidBoxes;
    std::string problem;
    std::string warning;
    size_t voxels = 0;
    std::shared_ptr<VoxelGrid const> grid;
};

namespace {

// Reads the file unless it is too large for a model. When it cannot, says
// why, after "the file": "cannot be read", "is refused: ...".
std::string readWhole(std::string const& path, std::vector<unsigned char>& bytes) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) return "is a folder";
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    std::streamoff const size = file ? static_cast<std::streamoff>(file.tellg()) : -1;
    if (size < 0) return "cannot be read";
    if (auto const tooLarge = voxFileSizeProblem(static_cast<unsigned long long>(size))) {
        return "is refused: " + tooLarge->message;
    }
    file.seekg(0);
    bytes.resize(static_cast<size_t>(size));
    file.read(reinterpret_cast<char*>(bytes.data()), size);
    return file ? "" : "cannot be read";
}

// The boxes the grid's voxels fill, merged greedily within each block:
// along z as far as voxels run, then along y while whole rows are full, then
// along x while whole layers are; in the units of the meshes.
std::vector<raylib::BoundingBox> solidBoxesOf(VoxelGrid const& grid) {
    constexpr int B = VoxelGrid::BLOCK;
    std::vector<raylib::BoundingBox> boxes;
    std::vector<bool> taken(B * B * B);
    for (int bx = 0; bx < grid.blocksAlong(0); ++bx) {
        for (int by = 0; by < grid.blocksAlong(1); ++by) {
            for (int bz = 0; bz < grid.blocksAlong(2); ++bz) {
                uint8_t const* cells = grid.block(bx, by, bz);
                if (!cells) continue;
                std::fill(taken.begin(), taken.end(), false);
                auto const free = [&](int x, int y, int z) {
                    int const i = (x * B + y) * B + z;
                    return cells[i] != 0 && !taken[i];
                };
                for (int x = 0; x < B; ++x)
                    for (int y = 0; y < B; ++y)
                        for (int z = 0; z < B; ++z) {
                            if (!free(x, y, z)) continue;
                            // Along z, then y, then x.
                            auto const freeZyx = [&](std::array<int, 3> const& c) { return free(c[2], c[1], c[0]); };
                            std::array<int, 3> const size = growBox<3>({z, y, x}, B, freeZyx);
                            int const depth = size[0], height = size[1], width = size[2];
                            for (int i = x; i < x + width; ++i)
                                for (int j = y; j < y + height; ++j)
                                    for (int k = z; k < z + depth; ++k) taken[(i * B + j) * B + k] = true;
                            raylib::Vector3 const low{static_cast<float>(bx * B + x), static_cast<float>(by * B + y),
                                                      static_cast<float>(bz * B + z)};
                            raylib::Vector3 const high{low.x + width, low.y + height, low.z + depth};
                            boxes.push_back(
                                {raylib::Vector3Scale(low, VOXEL_SIDE), raylib::Vector3Scale(high, VOXEL_SIDE)});
                        }
            }
        }
    }
    return boxes;
}

// The grid's voxels, and those of them that show: not fully transparent.
std::pair<size_t, size_t> countVoxels(VoxelGrid const& grid) {
    constexpr int CELLS = VoxelGrid::BLOCK * VoxelGrid::BLOCK * VoxelGrid::BLOCK;
    size_t voxels = 0, shown = 0;
    for (int bx = 0; bx < grid.blocksAlong(0); ++bx)
        for (int by = 0; by < grid.blocksAlong(1); ++by)
            for (int bz = 0; bz < grid.blocksAlong(2); ++bz) {
                uint8_t const* cells = grid.block(bx, by, bz);
                for (int i = 0; cells && i < CELLS; ++i) {
                    voxels += cells[i] != 0;
                    shown += cells[i] != 0 && grid.palette[cells[i]].a > 0;
                }
            }
    return {voxels, shown};
}

LoadedModel::Read readModel(std::string const& path, raylib::Color plain) {
    LoadedModel::Read read;
    read.model.transform = raylib::MatrixIdentity();
    std::vector<unsigned char> bytes;
    std::string why = readWhole(path, bytes);
    VoxelGrid grid;
    std::string differs;
    std::optional<std::vector<raylib::Mesh>> built;
    if (auto const refused = why.empty() ? readModelFile(path, bytes, &grid, &differs, plain) : std::nullopt) {
        why = "is refused: " + refused->message;
    } else if (why.empty() && !(built = buildVoxMeshes(grid))) {
        why = "is refused: its surface needs more than " + std::to_string(MAX_MODEL_QUADS) + " quads";
    }
    if (!why.empty()) {
        read.problem = "the model file " + path + " " + why;
        return read;
    }
    std::vector<raylib::Mesh> const& meshes = *built;
    read.model.meshCount = static_cast<int>(meshes.size());
    read.model.meshes = new raylib::Mesh[meshes.size()];
    std::copy(meshes.begin(), meshes.end(), read.model.meshes);
    read.solidBoxes = solidBoxesOf(grid);
    auto const [voxels, shown] = countVoxels(grid);
    read.grid = std::make_shared<VoxelGrid const>(std::move(grid));
    read.voxels = voxels;
    if (voxels == 0) {
        read.warning = "the model file " + path + " shows nothing: it has no voxels";
    } else if (shown == 0) {
        read.warning = "the model file " + path + " shows nothing: the colours of all its voxels are fully transparent";
    } else if (!differs.empty()) {
        read.warning = "the model file " + path + " shows as it can: " + differs;
    }
    return read;
}

}  // namespace

LoadedModel::LoadedModel(std::string const& path, raylib::Color plain) : LoadedModel(readModel(path, plain)) {}

LoadedModel::LoadedModel(Read read)
    : model(read.model),
      bounds(raylib::GetModelBoundingBox(model)),
      solidBoxes(std::move(read.solidBoxes)),
      problem(std::move(read.problem)),
      warning(std::move(read.warning)),
      voxels(read.voxels),
      grid(std::move(read.grid)) {}

LoadedModel::~LoadedModel() {
    auto const free = [](raylib::Model const& meshes) {
        for (int i = 0; i < meshes.meshCount; ++i) freeMeshArrays(meshes.meshes[i]);
        delete[] meshes.meshes;
    };
    free(model);
    free(shaded);
}

raylib::Model const& LoadedModel::shadedModel() const {
    std::call_once(shadedOnce, [this] {
        shaded.transform = model.transform;
        // The grid was meshed once within the limits: shaded it may need
        // more texels than a texture holds, and is then drawn plain.
        auto built = grid ? buildShadedVoxMeshes(*grid) : std::nullopt;
        if (grid) glowPoints = glowPointsOf(*grid);
        if (!built) {
            shaded.meshCount = 0;
            return;
        }
        shaded.meshCount = static_cast<int>(built->meshes.size());
        shaded.meshes = new raylib::Mesh[built->meshes.size()];
        std::copy(built->meshes.begin(), built->meshes.end(), shaded.meshes);
        shadedGlass = built->glassMeshes;
        sheen = built->sheen;
        shades = std::move(built->shades);
    });
    return shaded.meshCount > 0 ? shaded : model;
}

CornerShades const& LoadedModel::cornerShades() const {
    shadedModel();
    return shades;
}

std::vector<GlowPoint> const& LoadedModel::glows() const {
    shadedModel();
    return glowPoints;
}

bool LoadedModel::shadedSheen() const {
    shadedModel();
    return sheen;
}

int LoadedModel::shadedGlassMeshes() const {
    // Without shaded meshes, the plain ones are drawn, with no glass apart.
    shadedModel();
    return shadedGlass;
}

std::shared_ptr<LoadedModel const> ModelCache::get(std::string const& path, raylib::Color plain) {
    std::error_code unknown;
    auto const written = std::filesystem::last_write_time(path, unknown).time_since_epoch().count();
    auto& slot = loaded[{path, static_cast<long long>(written), packedColor(plain)}];
    std::shared_ptr<LoadedModel const> model = slot.lock();
    if (!model) {
        model = std::make_shared<LoadedModel const>(path, plain);
        slot = model;
    }
    return model;
}
