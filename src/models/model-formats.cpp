#include "model-formats.h"

#include <algorithm>
#include <filesystem>
#include <functional>

#include "binvox-file.h"
#include "goxel-file.h"
#include "minecraft-file.h"
#include "qubicle-file.h"
#include "vox-file.h"
#include "voxlap-file.h"
#include "westwood-file.h"

namespace {

using PartsReader = std::function<VoxelParts(std::vector<unsigned char> const&)>;

PartsReader readerOf(std::string const& extension, raylib::Color plain) {
    if (extension == ".qb") return readQb;
    if (extension == ".qbt") return readQbt;
    if (extension == ".binvox")
        return [plain](std::vector<unsigned char> const& bytes) { return readBinvox(bytes, plain); };
    if (extension == ".kv6") return readKv6;
    if (extension == ".vxl") return readVxl;
    if (extension == ".gox") return readGox;
    if (extension == ".litematic") return readLitematic;
    if (extension == ".schem") return readSchem;
    return nullptr;
}

}  // namespace

bool hasModelExtension(std::string const& name) {
    std::string const extension = std::filesystem::path(name).extension().string();
    return std::any_of(std::begin(MODEL_EXTENSIONS), std::end(MODEL_EXTENSIONS),
                       [&](char const* known) { return extension == known; });
}

std::optional<Problem> readModelFile(std::string const& path, std::vector<unsigned char> const& bytes, VoxelGrid* grid,
                                     std::string* warning, raylib::Color plain) {
    std::string const extension = std::filesystem::path(path).extension().string();
    PartsReader const read = readerOf(extension, plain);
    if (!read) return readVoxFile(bytes, grid);
    if (auto tooLarge = voxFileSizeProblem(bytes.size())) return tooLarge;
    try {
        VoxelParts const parts = read(bytes);
        if (warning && !parts.warnings.empty()) *warning = parts.warnings.front();
        return composeParts(parts, grid);
    } catch (FormatError const& refused) {
        return Problem{.message = refused.what()};
    } catch (std::bad_alloc const&) {
        return Problem{.message = "it needs more memory than there is"};
    }
}
