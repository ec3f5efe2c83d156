#include "model-loader.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <vector>

#include "vox-file.h"
#include "vox-mesh.h"

namespace {

// Reads the file unless it is too large for a model. When it cannot, says
// why, after "the file": "cannot be read", "is refused: ...".
std::string readWhole(std::string const& path, std::vector<unsigned char>& bytes) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) return "is a folder";
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    std::streamoff const size = file ? static_cast<std::streamoff>(file.tellg()) : -1;
    if (size < 0) return "cannot be read";
    if (std::string const tooLarge = voxFileSizeProblem(static_cast<unsigned long long>(size)); !tooLarge.empty()) {
        return "is refused: " + tooLarge;
    }
    file.seekg(0);
    bytes.resize(static_cast<size_t>(size));
    file.read(reinterpret_cast<char*>(bytes.data()), size);
    return file ? "" : "cannot be read";
}

// The model's meshes, or none and what is wrong with the file.
std::pair<raylib::Model, std::string> readModel(std::string const& path) {
    raylib::Model model{};
    model.transform = raylib::MatrixIdentity();
    std::vector<unsigned char> bytes;
    std::string why = readWhole(path, bytes);
    VoxelGrid grid;
    if (why.empty()) {
        if (std::string const refused = readVoxFile(bytes, &grid); !refused.empty()) why = "is refused: " + refused;
    }
    if (!why.empty()) {
        std::clog << "WARNING: Model [" << path << "] not loaded: the file " << why << std::endl;
        return {model, "the model file " + path + " " + why};
    }
    std::vector<raylib::Mesh> const meshes = buildVoxMeshes(grid);
    model.meshCount = static_cast<int>(meshes.size());
    model.meshes = new raylib::Mesh[meshes.size()];
    std::copy(meshes.begin(), meshes.end(), model.meshes);
    return {model, ""};
}

}  // namespace

LoadedModel::LoadedModel(std::string const& path) : LoadedModel(readModel(path)) {}

LoadedModel::LoadedModel(std::pair<raylib::Model, std::string> loaded)
    : model(loaded.first), problem(std::move(loaded.second)) {}

LoadedModel::~LoadedModel() {
    for (int i = 0; i < model.meshCount; ++i) freeMeshArrays(model.meshes[i]);
    delete[] model.meshes;
}

std::shared_ptr<LoadedModel const> ModelCache::get(std::string const& path) {
    std::error_code unknown;
    auto const written = std::filesystem::last_write_time(path, unknown).time_since_epoch().count();
    auto& slot = loaded[{path, static_cast<long long>(written)}];
    std::shared_ptr<LoadedModel const> model = slot.lock();
    if (!model) {
        model = std::make_shared<LoadedModel const>(path);
        slot = model;
    }
    return model;
}
