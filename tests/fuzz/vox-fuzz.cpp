// Fuzz target: the .vox check, and raylib's own .vox parser (compiled here
// from raylib's source, with the sanitizers) on every file the check passes,
// padded as the game pads it.
#include <cstdint>
#include <cstring>
#include <vector>

#include "vox-check.h"

#define VOX_LOADER_IMPLEMENTATION
#include "vox_loader.h"

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, size_t size) {
    std::vector<unsigned char> const bytes(data, data + size);
    if (!voxFileProblem(bytes).empty()) return 0;

    std::vector<unsigned char> padded(bytes);
    padded.resize(bytes.size() + VOX_READ_PADDING, 0);
    VoxArray3D voxels{};
    if (Vox_LoadFromMemory(padded.data(), static_cast<unsigned>(bytes.size()), &voxels) == VOX_SUCCESS) {
        free(voxels.normals.array);  // raylib's loader leaves this array to its caller
    }
    Vox_FreeArrays(&voxels);
    return 0;
}
