// Fuzz target: reading a model file of another editor's format (its first
// byte picks which), and building the meshes of every file the reading
// accepts, as the game does for each model.
#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

#include "model-formats.h"
#include "vox-mesh.h"

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, size_t size) {
    if (size == 0) return 0;
    // Every format but .vox, which vox-fuzz reads.
    size_t const formats = std::size(MODEL_EXTENSIONS) - 1;
    std::string const name = std::string("model") + MODEL_EXTENSIONS[1 + data[0] % formats];
    VoxelGrid grid;
    if (readModelFile(name, std::vector<unsigned char>(data + 1, data + size), &grid)) return 0;
    for (raylib::Mesh const& mesh : buildVoxMeshes(grid).value_or(std::vector<raylib::Mesh>{})) freeMeshArrays(mesh);
    return 0;
}
