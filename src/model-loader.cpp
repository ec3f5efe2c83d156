#include "model-loader.h"

#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

#include "vox-check.h"

namespace {

// The checked bytes raylib's loader is about to read, served from memory so
// that it reads exactly what was checked, with zero padding after them.
std::vector<unsigned char> const* checkedData = nullptr;

unsigned char* loadCheckedData(char const* /*fileName*/, int* dataSize) {
    size_t const size = checkedData->size();
    auto* copy = static_cast<unsigned char*>(raylib::MemAlloc(static_cast<unsigned>(size + VOX_READ_PADDING)));
    if (copy == nullptr) return nullptr;
    if (size > 0) std::memcpy(copy, checkedData->data(), size);
    *dataSize = static_cast<int>(size);
    return copy;
}

// What raylib's LoadModel returns for a file it cannot read.
raylib::Model unreadableModel() {
    raylib::Model model{};
    model.transform = raylib::MatrixIdentity();
    model.materialCount = 1;
    model.materials = static_cast<raylib::Material*>(raylib::MemAlloc(sizeof(raylib::Material)));
    model.materials[0] = raylib::LoadMaterialDefault();
    return model;
}

raylib::Model rejected(std::string const& path, std::string const& problem) {
    std::clog << "WARNING: Model [" << path << "] not loaded: " << problem << std::endl;
    return unreadableModel();
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
    // Only .vox files are checked; a file that cannot be read is left to
    // raylib, which reports it and returns its default model.
    if (!raylib::IsFileExtension(path.c_str(), ".vox") || !readWhole(path, bytes, problem)) {
        return raylib::LoadModel(path.c_str());
    }
    if (problem.empty()) problem = voxFileProblem(bytes);
    if (!problem.empty()) return rejected(path, problem);
    checkedData = &bytes;
    raylib::SetLoadFileDataCallback(loadCheckedData);
    raylib::Model const model = raylib::LoadModel(path.c_str());
    raylib::SetLoadFileDataCallback(nullptr);
    checkedData = nullptr;
    return model;
}
