#include "hostile-files.h"

#include <cstdint>
#include <cstring>
#include <random>

#include "vox-writer.h"

namespace {

std::string bytesOf(std::vector<uint8_t> const& data) {
    return std::string(data.begin(), data.end());
}

VoxModel smallModel() {
    VoxModel model;
    model.sizeX = 8;
    model.sizeY = 6;
    model.sizeZ = 10;
    for (uint8_t i = 0; i < 40; ++i) {
        model.voxels.push_back({uint8_t(i % 8), uint8_t(i % 6), uint8_t(i % 10), uint8_t(i + 1)});
    }
    for (int i = 0; i < 256; ++i) model.palette[i] = {uint8_t(i), uint8_t(255 - i), uint8_t(i * 3), 255};
    return model;
}

void putU32(std::string& data, size_t at, uint32_t value) {
    if (at + 4 > data.size()) return;
    for (int i = 0; i < 4; ++i) data[at + i] = static_cast<char>(value >> (8 * i));
}

std::vector<size_t> chunkOffsets(std::string const& data, char const* id) {
    std::vector<size_t> offsets;
    for (size_t at = data.find(id); at != std::string::npos; at = data.find(id, at + 1)) offsets.push_back(at);
    return offsets;
}

void addTruncations(std::vector<HostileFile>& out, std::string const& name, std::string const& data) {
    for (size_t cut = 0; cut < std::min<size_t>(data.size(), 40); ++cut) {
        out.push_back({name + " cut at " + std::to_string(cut), data.substr(0, cut)});
    }
    for (int step = 1; step < 30; ++step) {
        size_t const cut = data.size() * step / 30;
        out.push_back({name + " cut at " + std::to_string(cut), data.substr(0, cut)});
    }
    for (size_t back = 1; back <= 12 && back < data.size(); ++back) {
        out.push_back({name + " without its last " + std::to_string(back), data.substr(0, data.size() - back)});
    }
}

void addFlips(std::vector<HostileFile>& out, std::string const& name, std::string const& data, unsigned seed,
              int count) {
    std::mt19937 random(seed);
    for (int i = 0; i < count && !data.empty(); ++i) {
        std::string flipped = data;
        int const flips = 1 + static_cast<int>(random() % 4);
        for (int f = 0; f < flips; ++f) flipped[random() % flipped.size()] = static_cast<char>(random() & 0xFF);
        out.push_back({name + " flipped #" + std::to_string(i), flipped});
    }
}

void addFieldEdits(std::vector<HostileFile>& out, std::string const& name, std::string const& data) {
    uint32_t const values[] = {0, 1, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 257, 100000, 1000000};
    for (uint32_t const value : values) {
        std::string const v = std::to_string(value);
        for (size_t at : chunkOffsets(data, "SIZE")) {
            for (int field = 0; field < 3; ++field) {
                std::string edited = data;
                putU32(edited, at + 12 + 4 * field, value);
                out.push_back({name + " SIZE field " + std::to_string(field) + " = " + v, edited});
            }
        }
        for (size_t at : chunkOffsets(data, "XYZI")) {
            std::string edited = data;
            putU32(edited, at + 12, value);
            out.push_back({name + " XYZI count = " + v, edited});
        }
        for (char const* id : {"MAIN", "SIZE", "XYZI", "RGBA", "PACK"}) {
            for (size_t at : chunkOffsets(data, id)) {
                std::string edited = data;
                putU32(edited, at + 4, value);
                out.push_back({name + " " + id + " content size = " + v, edited});
            }
        }
    }
    std::string version = data;
    putU32(version, 4, 149);
    out.push_back({name + " version 149", version});
    if (data.size() > 4) out.push_back({name + " wrong magic", "VOX!" + data.substr(4)});
    for (size_t at : chunkOffsets(data, "XYZI")) {
        std::string outside = data;
        if (at + 19 < outside.size()) outside[at + 16] = outside[at + 17] = outside[at + 18] = static_cast<char>(0xFF);
        out.push_back({name + " voxel outside its model", outside});
    }
    for (size_t at : chunkOffsets(data, "SIZE")) {
        std::string missing = data;
        missing.replace(at, 4, "SIZF");
        out.push_back({name + " without SIZE", missing});
    }
}

std::string chunk(char const* id, std::string const& content, std::string const& children = "") {
    std::string out(id, 4);
    std::string sizes(8, '\0');
    putU32(sizes, 0, static_cast<uint32_t>(content.size()));
    putU32(sizes, 4, static_cast<uint32_t>(children.size()));
    return out + sizes + content + children;
}

std::string u32s(std::initializer_list<uint32_t> values) {
    std::string out(values.size() * 4, '\0');
    size_t at = 0;
    for (uint32_t v : values) putU32(out, (at++) * 4, v);
    return out;
}

std::string voxFile(std::string const& children) {
    return "VOX " + u32s({150}) + chunk("MAIN", "", children);
}

void addConstructed(std::vector<HostileFile>& out) {
    std::string models;
    for (int i = 0; i < 70; ++i) models += chunk("SIZE", u32s({2, 2, 2})) + chunk("XYZI", u32s({1}) + std::string("\1\1\1\5", 4));
    out.push_back({"70 models", voxFile(models)});

    std::string nested = chunk("SIZE", u32s({2, 2, 2})) + chunk("XYZI", u32s({0}));
    for (int i = 0; i < 2000; ++i) nested = chunk("MAIN", "", nested);
    out.push_back({"2000 nested chunks", voxFile(nested)});

    std::string voxels = u32s({600000});
    voxels.resize(voxels.size() + 600000 * 4, '\1');
    out.push_back({"600000 voxels", voxFile(chunk("SIZE", u32s({256, 256, 256})) + chunk("XYZI", voxels))});

    std::string huge = voxFile(chunk("SIZE", u32s({2, 2, 2})));
    huge.resize((17u << 20), '\0');
    out.push_back({"17 MiB file", huge});

    out.push_back({"empty file", ""});
    out.push_back({"only the magic", "VOX "});
    out.push_back({"palette at the very end", voxFile(chunk("SIZE", u32s({1, 1, 1})) + chunk("XYZI", u32s({1}) + std::string(4, '\0')) + "RGBA")});
    out.push_back({"text file", "rect (0, 0, 0), (1, 1, 1), red\n"});
}

}  // namespace

std::vector<HostileFile> hostileVoxFiles(std::vector<std::string> const& moreBases) {
    std::vector<HostileFile> out;
    std::vector<std::pair<std::string, std::string>> bases = {{"small model", bytesOf(encodeVox(smallModel()))}};
    for (size_t i = 0; i < moreBases.size(); ++i) bases.push_back({"sample " + std::to_string(i), moreBases[i]});
    unsigned seed = 1;
    for (auto const& [name, data] : bases) {
        addTruncations(out, name, data);
        addFlips(out, name, data, seed++, 60);
        addFieldEdits(out, name, data);
    }
    addConstructed(out);
    return out;
}

std::vector<HostileFile> hostileSceneFiles(std::string const& baseScene) {
    std::vector<HostileFile> out;
    std::string const small =
        "rect (0, -0.5, 0), (20, 1, 20), green\n"
        "model rock, (2, 0.3, 2)\n"
        "voxels_cloud (3, 1, 3), (0.2, 0.2, 0.2), 0.5\n"
        "mountain (5, 1.05, -5), (2, 2, 2)\n";
    addTruncations(out, "small scene", small);
    addFlips(out, "small scene", small, 100, 80);
    addTruncations(out, "demo scene", baseScene);
    addFlips(out, "demo scene", baseScene, 200, 40);

    char const* const numbers[] = {"nan", "inf", "-inf", "1e39", "-1e39", "1e-45", "99999999999999999999",
                                   "-0", "0x10", "1e", "--1", "+", ".", "1.2.3", "1e309"};
    for (char const* n : numbers) {
        std::string const v = n;
        out.push_back({"rect centre " + v, "rect (" + v + ", 0, 0), (1, 1, 1), red\n"});
        out.push_back({"rect size " + v, "rect (0, 0, 0), (" + v + ", " + v + ", 1), red\n"});
        out.push_back({"cloud extent " + v, "voxels_cloud (0, 0, 0), (" + v + ", 1, 1), 1\n"});
        out.push_back({"cloud density " + v, "voxels_cloud_huge (0, 0, 0), (10, 10, 10), " + v + "\n"});
        out.push_back({"mountain size " + v, "mountain (0, 0, 0), (" + v + ", " + v + ", " + v + ")\n"});
        out.push_back({"model position " + v, "model rock, (" + v + ", 0, 0)\n"});
    }
    out.push_back({"huge cloud", "voxels_cloud (0, 0, 0), (1e9, 1e9, 1e9), 1\n"});
    out.push_back({"sparse giant cloud", "voxels_cloud_huge (0, 0, 0), (1e6, 1e6, 2), 0.0000001\n"});
    out.push_back({"giant mountain", "mountain (0, 0, 0), (1e9, 1e9, 1e9)\n"});
    out.push_back({"tall thin mountain", "mountain (0, 0, 0), (1, 1e9, 1)\n"});
    out.push_back({"negative sizes", "rect (0, 0, 0), (-1, -2, -3), red\nmountain (0, 0, 0), (-5, -5, -5)\n"});
    out.push_back({"negative voxel grid", "voxels_cloud (0, 0, 0), (-1, -1, 1), 1\n"});
    out.push_back({"long word", std::string(1 << 20, 'x')});
    out.push_back({"long comment", "# " + std::string(1 << 20, 'x') + "\nrect (0, 0, 0), (1, 1, 1), red\n"});
    out.push_back({"deep parentheses", "rect " + std::string(100000, '(')});
    out.push_back({"long model name", "model " + std::string(5000, 'a') + ", (0, 0, 0)\n"});
    out.push_back({"model outside the assets", "model ../../../../../etc/passwd, (0, 0, 0)\n"});
    out.push_back({"model name with a zero byte", std::string("model ro\0ck, (0, 0, 0)\n", 23)});
    std::string garbage;
    std::mt19937 random(7);
    for (int i = 0; i < 10000; ++i) garbage += static_cast<char>(random() & 0xFF);
    out.push_back({"random bytes", garbage});
    out.push_back({"many comment marks", std::string(100000, '#')});
    std::string many;
    for (int i = 0; i < 5000; ++i) many += "rect (" + std::to_string(i) + ", 0, 0), (1, 1, 1), gray\n";
    out.push_back({"5000 rectangles", many});
    return out;
}
