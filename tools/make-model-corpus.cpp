// Writes the seeds of the fuzz corpus of other editors' formats: a small
// model in each format, its first byte the format's number as the fuzz
// target reads it.
//   make-model-corpus FOLDER
#include <cstdio>
#include <fstream>
#include <string>

#include "model-writers.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-model-corpus FOLDER\n");
        return 2;
    }
    VoxModel model = voxModelOf(6, 5, 4, [](int x, int y, int z) -> uint8_t {
        return z <= y && x + z < 7 ? static_cast<uint8_t>(1 + (x + y) % 3) : 0;
    });
    model.palette[0] = {200, 40, 40, 255}, model.palette[1] = {40, 200, 40, 255}, model.palette[2] = {40, 40, 200, 255};
    std::vector<std::string> const blocks = {"minecraft:stone", "minecraft:oak_planks", "minecraft:made_up"};
    // In the order of the formats after .vox: qb, qbt, gox, kv6, vxl, litematic, schem, binvox.
    std::vector<std::vector<uint8_t>> const files = {
        encodeQb(model, true),      encodeQbt(model),    encodeGox(model),
        encodeKv6(model),           encodeVxl(model),    encodeLitematic(model, blocks),
        encodeSchem(model, blocks), encodeBinvox(model), encodeQb(model, false)};
    for (size_t i = 0; i < files.size(); ++i) {
        std::ofstream out(std::string(argv[1]) + "/seed-" + std::to_string(i), std::ios::binary);
        out.put(static_cast<char>(i % 8));
        out.write(reinterpret_cast<char const*>(files[i].data()), static_cast<std::streamsize>(files[i].size()));
        if (!out) return 1;
    }
    return 0;
}
