// The .vox check: what it refuses, and the limits it keeps.
#include <gtest/gtest.h>

#include <cstdint>

#include "vox-file.h"

namespace {

using Bytes = std::vector<unsigned char>;

void putU32(Bytes& data, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) data.at(at + i) = static_cast<unsigned char>(value >> (8 * i));
}

void append(Bytes& data, char const* id, std::initializer_list<uint32_t> words, size_t extra = 0) {
    data.insert(data.end(), id, id + 4);
    for (size_t i = 0; i < 8 + 4 * words.size() + extra; ++i) data.push_back(0);
    putU32(data, data.size() - extra - 4 * words.size() - 8, static_cast<uint32_t>(4 * words.size() + extra));
    size_t at = data.size() - extra - 4 * words.size();
    for (uint32_t const word : words) putU32(data, (at += 4) - 4, word);
}

// A file of `models` models of `side` voxels a side, each holding `voxels`
// voxels at (1, 1, 1), and a palette. The first SIZE chunk is at byte 20,
// the first XYZI chunk at 44 and its first voxel at 60.
Bytes voxFile(int models = 1, uint32_t side = 8, uint32_t voxels = 2) {
    Bytes data = {'V', 'O', 'X', ' ', 150, 0, 0, 0};
    append(data, "MAIN", {});
    for (int m = 0; m < models; ++m) {
        append(data, "SIZE", {side, side, side});
        append(data, "XYZI", {voxels}, 4 * voxels);
        for (size_t at = data.size() - 4 * voxels; at < data.size(); ++at) data[at] = 1;
    }
    append(data, "RGBA", {}, 1024);
    return data;
}

template <typename Edit>
Bytes edited(Bytes data, Edit edit) {
    edit(data);
    return data;
}

TEST(VoxFileProblem, AcceptsUpToEachLimitAndSaysWhatIsWrongBeyond) {
    struct Case {
        char const* name;
        Bytes data;
        char const* problem;
    };
    Case const cases[] = {
        {"a small model", voxFile(), ""},
        {"64 models", voxFile(64), ""},
        {"65 models", voxFile(65), "more than 64 models"},
        {"a model 256 a side", voxFile(1, 256), ""},
        {"a model 257 a side", voxFile(1, 257), "a model size of 257 voxels (1 to 256 allowed)"},
        {"a model 0 a side", edited(voxFile(), [](Bytes& d) { putU32(d, 36, 0); }), "a model size of 0 voxels"},
        {"524288 voxels", voxFile(2, 256, 262144), ""},
        {"524290 voxels in two models", voxFile(2, 256, 262145), "more than 524288 voxels"},
        {"a huge voxel count", edited(voxFile(), [](Bytes& d) { putU32(d, 56, 0xFFFFFFFF); }), "more than 524288"},
        {"voxels beyond the file", edited(voxFile(), [](Bytes& d) { putU32(d, 56, 1000); }),
         "the file ends before its 1000 voxels"},
        {"a voxel on the last cell", edited(voxFile(), [](Bytes& d) { d[62] = 7; }), ""},
        {"a voxel outside its model", edited(voxFile(), [](Bytes& d) { d[62] = 8; }), "a voxel lies outside its model"},
        {"voxels before a size", edited(voxFile(), [](Bytes& d) { d[23] = 'F'; }),
         "voxels (XYZI) come before any model size (SIZE)"},
        {"too short", Bytes{'V', 'O', 'X', ' ', 150, 0, 0}, "the file is too short for a .vox header"},
        {"another magic", edited(voxFile(), [](Bytes& d) { d[3] = '!'; }), "the file does not start with \"VOX \""},
        {"version 149", edited(voxFile(), [](Bytes& d) { putU32(d, 4, 149); }), "unsupported .vox version 149"},
        {"version 200", edited(voxFile(), [](Bytes& d) { putU32(d, 4, 200); }), ""},
        {"a palette cut short", edited(voxFile(), [](Bytes& d) { d.resize(d.size() - 40); }),
         "the file ends inside its palette (RGBA)"},
        {"a size cut short", edited(voxFile(), [](Bytes& d) { d.resize(24); }), "the file ends inside a SIZE chunk"},
        {"an unknown chunk",
         edited(voxFile(),
                [](Bytes& d) {
                    append(d, "nTRN", {1, 2});
                }),
         ""},
    };
    for (auto const& c : cases) {
        // The whole problem for an accepted file, the start of it otherwise.
        std::string const problem = voxFileProblem(c.data);
        EXPECT_EQ(problem.substr(0, *c.problem ? std::string(c.problem).size() : std::string::npos), c.problem)
            << c.name;
    }
    EXPECT_EQ(voxFileSizeProblem(16u << 20), "");
    EXPECT_EQ(voxFileSizeProblem((16u << 20) + 1), "the file is larger than 16 MiB");
}

}  // namespace
