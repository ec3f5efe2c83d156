#include "model-loader.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <vector>

#include "shader.h"
#include "vox-file.h"
#include "vox-mesh.h"

namespace {

// A model of the given meshes (none for a file that cannot be read) with one
// default material, as raylib's loader makes it.
raylib::Model modelOf(std::vector<raylib::Mesh> const& meshes) {
    raylib::Model model{};
    model.transform = raylib::MatrixIdentity();
    model.meshCount = static_cast<int>(meshes.size());
    if (!meshes.empty()) {
        model.meshes =
            static_cast<raylib::Mesh*>(raylib::MemAlloc(static_cast<unsigned>(meshes.size() * sizeof(raylib::Mesh))));
        std::copy(meshes.begin(), meshes.end(), model.meshes);
        model.meshMaterial = static_cast<int*>(raylib::MemAlloc(static_cast<unsigned>(meshes.size() * sizeof(int))));
    }
    model.materialCount = 1;
    model.materials = static_cast<raylib::Material*>(raylib::MemAlloc(sizeof(raylib::Material)));
    model.materials[0] = raylib::LoadMaterialDefault();
    return model;
}

raylib::Model rejected(std::string const& path, std::string const& problem) {
    std::clog << "WARNING: Model [" << path << "] not loaded: " << problem << std::endl;
    return modelOf({});
}

// Reads the file unless it is too large for a model (problem says so);
// false when it cannot be read.
bool readWhole(std::string const& path, std::vector<unsigned char>& bytes, std::string& problem) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) return false;
    std::streamoff const size = file.tellg();
    if (size < 0) return false;
    problem = voxFileSizeProblem(static_cast<unsigned long long>(size));
    if (!problem.empty()) return true;
    file.seekg(0);
    bytes.resize(static_cast<size_t>(size));
    file.read(reinterpret_cast<char*>(bytes.data()), size);
    return static_cast<bool>(file);
}

}  // namespace

raylib::Model loadModelChecked(std::string const& path) {
    std::vector<unsigned char> bytes;
    std::string problem;
    if (!raylib::IsFileExtension(path.c_str(), ".vox") || !readWhole(path, bytes, problem)) {
        return raylib::LoadModel(path.c_str());
    }
    VoxelGrid grid;
    if (problem.empty()) problem = readVoxFile(bytes, &grid);
    if (!problem.empty()) return rejected(path, problem);
    raylib::Model model = modelOf(buildVoxMeshes(grid));
    if (raylib::IsWindowReady()) {
        for (int i = 0; i < model.meshCount; ++i) raylib::UploadMesh(&model.meshes[i], false);
    }
    return model;
}

std::string modelFileProblem(std::string const& path) {
    std::vector<unsigned char> bytes;
    std::string problem;
    if (!readWhole(path, bytes, problem)) return "the model file " + path + " cannot be read";
    if (problem.empty() && raylib::IsFileExtension(path.c_str(), ".vox")) problem = voxFileProblem(bytes);
    if (problem.empty()) return "";
    return "the model file " + path + " is refused: " + problem;
}

LoadedModel::LoadedModel(std::string const& path) : model(loadModelChecked(path)) {
    setModelShaders(model);
}

LoadedModel::~LoadedModel() {
    raylib::UnloadModel(model);
}

std::shared_ptr<LoadedModel const> sharedModel(std::string const& path) {
    // A file is known by its path and when it was last written, so an edited
    // model is read again.
    std::error_code unknown;
    auto const written = std::filesystem::last_write_time(path, unknown).time_since_epoch().count();
    static std::map<std::tuple<std::string, long long, bool>, std::weak_ptr<LoadedModel const>> loaded;
    auto& slot = loaded[{path, static_cast<long long>(written), raylib::IsWindowReady()}];
    std::shared_ptr<LoadedModel const> model = slot.lock();
    if (!model) {
        model = std::make_shared<LoadedModel const>(path);
        slot = model;
    }
    return model;
}
