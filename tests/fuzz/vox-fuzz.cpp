// Fuzz target: reading a .vox file, and building the meshes of every file
// the reading accepts, as the game does for each model.
#include <cstdint>
#include <vector>

#include "vox-file.h"
#include "vox-mesh.h"

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, size_t size) {
    VoxelGrid grid;
    if (readVoxFile(std::vector<unsigned char>(data, data + size), &grid)) return 0;
    for (raylib::Mesh const& mesh : buildVoxMeshes(grid).value_or(std::vector<raylib::Mesh>{})) freeMeshArrays(mesh);
    return 0;
}
