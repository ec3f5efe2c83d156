#include "minecraft-file.h"

#include <algorithm>
#include <array>
#include <map>
#include <string_view>

#include "nbt.h"
#include "vox-file.h"

namespace {

// The most bytes a schematic's tags may take once unpacked.
constexpr size_t MAX_TAG_BYTES = 4 * MAX_VOX_FILE_BYTES;

// The common blocks' colours, about as they look from a few steps away.
std::map<std::string_view, raylib::Color> const& blockTable() {
    static std::map<std::string_view, raylib::Color> const table = {
        {"grass_block", {95, 159, 53, 255}},
        {"dirt", {134, 96, 67, 255}},
        {"coarse_dirt", {119, 85, 59, 255}},
        {"podzol", {91, 63, 24, 255}},
        {"dirt_path", {148, 121, 65, 255}},
        {"farmland", {110, 75, 47, 255}},
        {"mud", {60, 57, 60, 255}},
        {"stone", {125, 125, 125, 255}},
        {"cobblestone", {122, 122, 122, 255}},
        {"mossy_cobblestone", {110, 118, 94, 255}},
        {"stone_bricks", {122, 121, 122, 255}},
        {"stone_brick", {122, 121, 122, 255}},
        {"mossy_stone_bricks", {115, 121, 105, 255}},
        {"smooth_stone", {158, 158, 158, 255}},
        {"andesite", {136, 136, 137, 255}},
        {"diorite", {188, 188, 188, 255}},
        {"granite", {149, 103, 86, 255}},
        {"deepslate", {80, 80, 82, 255}},
        {"cobbled_deepslate", {77, 77, 80, 255}},
        {"tuff", {108, 109, 102, 255}},
        {"bedrock", {85, 85, 85, 255}},
        {"gravel", {131, 127, 126, 255}},
        {"sand", {219, 207, 163, 255}},
        {"sandstone", {216, 203, 155, 255}},
        {"red_sand", {190, 102, 33, 255}},
        {"clay", {160, 166, 179, 255}},
        {"bricks", {150, 97, 83, 255}},
        {"brick", {150, 97, 83, 255}},
        {"water", {63, 118, 228, 255}},
        {"lava", {207, 92, 20, 255}},
        {"ice", {145, 183, 253, 255}},
        {"packed_ice", {141, 180, 250, 255}},
        {"snow", {249, 254, 254, 255}},
        {"snow_block", {249, 254, 254, 255}},
        {"glass", {200, 220, 230, 255}},
        {"glass_pane", {200, 220, 230, 255}},
        {"oak_planks", {162, 130, 78, 255}},
        {"spruce_planks", {114, 84, 48, 255}},
        {"birch_planks", {192, 175, 121, 255}},
        {"jungle_planks", {160, 115, 80, 255}},
        {"acacia_planks", {168, 90, 50, 255}},
        {"dark_oak_planks", {66, 43, 20, 255}},
        {"mangrove_planks", {117, 54, 48, 255}},
        {"cherry_planks", {226, 178, 172, 255}},
        {"bamboo_planks", {193, 173, 80, 255}},
        {"crimson_planks", {101, 48, 70, 255}},
        {"warped_planks", {43, 104, 99, 255}},
        {"oak_log", {109, 85, 50, 255}},
        {"spruce_log", {58, 37, 16, 255}},
        {"birch_log", {216, 215, 210, 255}},
        {"jungle_log", {85, 67, 25, 255}},
        {"acacia_log", {103, 96, 86, 255}},
        {"dark_oak_log", {60, 46, 26, 255}},
        {"oak_leaves", {60, 120, 30, 255}},
        {"spruce_leaves", {50, 86, 50, 255}},
        {"birch_leaves", {98, 133, 60, 255}},
        {"jungle_leaves", {48, 130, 20, 255}},
        {"acacia_leaves", {70, 120, 30, 255}},
        {"dark_oak_leaves", {50, 110, 25, 255}},
        {"azalea_leaves", {90, 117, 44, 255}},
        {"short_grass", {90, 140, 50, 255}},
        {"tall_grass", {90, 140, 50, 255}},
        {"fern", {80, 125, 45, 255}},
        {"hay_block", {166, 136, 38, 255}},
        {"iron_block", {220, 220, 220, 255}},
        {"gold_block", {246, 208, 61, 255}},
        {"coal_block", {16, 15, 15, 255}},
        {"quartz_block", {235, 229, 222, 255}},
        {"quartz", {235, 229, 222, 255}},
        {"obsidian", {15, 10, 24, 255}},
        {"netherrack", {97, 38, 38, 255}},
        {"glowstone", {171, 131, 84, 255}},
        {"torch", {255, 200, 90, 255}},
        {"lantern", {106, 91, 83, 255}},
        {"bookshelf", {117, 94, 59, 255}},
        {"crafting_table", {120, 73, 42, 255}},
        {"furnace", {110, 110, 110, 255}},
        {"chest", {163, 118, 57, 255}},
        {"barrel", {134, 100, 58, 255}},
        {"pumpkin", {198, 118, 24, 255}},
        {"melon", {111, 145, 30, 255}},
        {"cactus", {85, 127, 43, 255}},
        {"terracotta", {152, 94, 67, 255}},
        {"moss_block", {89, 109, 45, 255}},
        {"wall_torch", {255, 200, 90, 255}},
        {"ladder", {124, 97, 56, 255}},
        {"anvil", {68, 68, 68, 255}},
        {"cauldron", {73, 72, 74, 255}},
        {"smoker", {96, 90, 82, 255}},
        {"blast_furnace", {100, 99, 100, 255}},
        {"loom", {142, 119, 92, 255}},
        {"composter", {110, 80, 40, 255}},
        {"fletching_table", {197, 180, 133, 255}},
        {"enchanting_table", {130, 40, 50, 255}},
        {"brewing_stand", {122, 100, 80, 255}},
        {"bed", {160, 39, 34, 255}},
        {"wheat", {170, 150, 60, 255}},
        {"carrots", {90, 150, 40, 255}},
        {"potatoes", {90, 140, 50, 255}},
        {"sugar_cane", {148, 192, 101, 255}},
        {"blue_orchid", {42, 160, 220, 255}},
        {"lilac", {180, 140, 190, 255}},
        {"peony", {210, 160, 200, 255}},
        {"lily_of_the_valley", {220, 230, 220, 255}},
        {"poppy", {200, 30, 30, 255}},
        {"dandelion", {240, 220, 40, 255}},
        {"nether_portal", {90, 10, 180, 255}},
        {"sea_lantern", {172, 199, 190, 255}},
    };
    return table;
}

// The sixteen dyes, for wool, concrete, terracotta, glass, carpets and beds.
std::array<std::pair<std::string_view, raylib::Color>, 16> const DYES = {{
    {"white", {234, 236, 237, 255}},
    {"orange", {240, 118, 19, 255}},
    {"magenta", {189, 68, 179, 255}},
    {"light_blue", {58, 175, 217, 255}},
    {"yellow", {248, 198, 39, 255}},
    {"lime", {112, 185, 25, 255}},
    {"pink", {237, 141, 172, 255}},
    {"gray", {62, 68, 71, 255}},
    {"light_gray", {142, 142, 134, 255}},
    {"cyan", {21, 137, 145, 255}},
    {"purple", {121, 42, 172, 255}},
    {"blue", {53, 57, 157, 255}},
    {"brown", {114, 71, 40, 255}},
    {"green", {84, 109, 27, 255}},
    {"red", {160, 39, 34, 255}},
    {"black", {20, 21, 25, 255}},
}};

// What a shaped block is named after its material: oak_stairs, stone_slab.
constexpr std::string_view SHAPES[] = {"_stairs",   "_slab",           "_fence_gate", "_fence",     "_wall", "_door",
                                       "_trapdoor", "_pressure_plate", "_button",     "_wall_sign", "_sign", "_wood",
                                       "_pane"};

std::optional<raylib::Color> lookUp(std::string_view name) {
    auto const& table = blockTable();
    if (auto const found = table.find(name); found != table.end()) return found->second;
    // A wood's planks; stripped logs as logs.
    for (std::string_view suffix : {"_planks", "_log"}) {
        std::string const planks = std::string(name) + std::string(suffix);
        if (auto const found = table.find(planks); found != table.end()) return found->second;
    }
    if (name.starts_with("stripped_")) return lookUp(name.substr(9));
    return std::nullopt;
}

}  // namespace

bool isAir(std::string const& name) {
    std::string_view const plain = std::string_view(name).substr(name.starts_with("minecraft:") ? 10 : 0);
    return plain == "air" || plain == "cave_air" || plain == "void_air" || plain == "structure_void";
}

std::optional<raylib::Color> blockColor(std::string const& name) {
    std::string_view plain = std::string_view(name).substr(name.starts_with("minecraft:") ? 10 : 0);
    plain = plain.substr(0, plain.find('['));  // a state's properties
    if (auto const color = lookUp(plain)) return color;
    for (auto const& [dye, color] : DYES) {
        if (plain.starts_with(dye) && plain.size() > dye.size() && plain[dye.size()] == '_') return color;
    }
    for (std::string_view shape : SHAPES) {
        if (plain.ends_with(shape) && plain.size() > shape.size()) {
            if (auto const color = lookUp(plain.substr(0, plain.size() - shape.size()))) return color;
        }
    }
    return std::nullopt;
}

namespace {

// The blocks of a palette as colours, air as none; the unknown ones grey,
// and named in the warnings.
class BlockColors {
public:
    void add(std::string const& name) {
        if (isAir(name)) {
            colors.push_back(std::nullopt);
            return;
        }
        std::optional<raylib::Color> const color = blockColor(name);
        if (!color && std::find(unknown.begin(), unknown.end(), name) == unknown.end()) unknown.push_back(name);
        colors.push_back(color ? *color : UNKNOWN_BLOCK_GREY);
    }
    std::optional<raylib::Color> at(size_t index) const {
        if (index >= colors.size()) throw FormatError("a block whose index is not in its palette");
        return colors[index];
    }
    size_t size() const { return colors.size(); }
    // Says which blocks were shown grey.
    void warn(VoxelParts& parts) const {
        if (unknown.empty()) return;
        std::string names;
        for (size_t i = 0; i < unknown.size() && i < 3; ++i) names += (i ? ", " : "") + printable(unknown[i]);
        if (unknown.size() > 3) names += " and " + std::to_string(unknown.size() - 3) + " more";
        parts.warnings.push_back("its blocks " + names + " have no colour of their own and are shown grey");
    }

private:
    std::vector<std::optional<raylib::Color>> colors;
    std::vector<std::string> unknown;
};

NbtTag const& field(NbtTag const& compound, std::string_view name, NbtTag::Type type, std::string const& where) {
    NbtTag const* tag = compound.find(name, type);
    if (!tag) throw FormatError(where + " has no " + std::string(name));
    return *tag;
}

int whole(NbtTag const& compound, std::string_view name, std::string const& where) {
    if (NbtTag const* tag = compound.find(name, NbtTag::INT)) return static_cast<int>(tag->number);
    // Sponge sizes are shorts, read unsigned.
    return static_cast<int>(static_cast<uint16_t>(field(compound, name, NbtTag::SHORT, where).number));
}

std::array<int, 3> xyzOf(NbtTag const& compound, std::string const& where) {
    return {whole(compound, "x", where), whole(compound, "y", where), whole(compound, "z", where)};
}

NbtTag tagsOf(std::vector<unsigned char> const& bytes) {
    return readNbt(inflated(bytes, MAX_TAG_BYTES, true));
}

// A block at (x, y, z) of a region, y up, as a voxel of MagicaVoxel's axes:
// Minecraft's z (south) is MagicaVoxel's -y.
void addBlock(VoxelParts& parts, std::array<int, 3> size, int x, int y, int z, std::optional<raylib::Color> color) {
    if (color) parts.addVoxel(x, size[2] - 1 - z, y, *color);
}

std::array<int, 3> checkedSize(std::array<int, 3> size, std::string const& where) {
    for (int const side : size) {
        if (side < 1 || side > MAX_COMPOSED_SIDE)
            throw FormatError(where + " is " + std::to_string(side) + " blocks across, not 1 to " +
                              std::to_string(MAX_COMPOSED_SIDE));
    }
    if (static_cast<long long>(size[0]) * size[1] * size[2] > static_cast<long long>(8 * MAX_COMPOSED_VOXELS))
        throw FormatError(where + " holds more blocks than a model may");
    return size;
}

void addRegion(NbtTag const& region, std::string const& where, VoxelParts& parts) {
    std::array<int, 3> signedSize = xyzOf(field(region, "Size", NbtTag::COMPOUND, where), where);
    std::array<int, 3> position = xyzOf(field(region, "Position", NbtTag::COMPOUND, where), where);
    // A negative size reaches back from the position.
    std::array<int, 3> size{};
    for (int axis = 0; axis < 3; ++axis) {
        if (signedSize[axis] < 0) position[axis] += signedSize[axis] + 1;
        size[axis] = signedSize[axis] < 0 ? -signedSize[axis] : signedSize[axis];
    }
    checkedSize(size, where);
    BlockColors colors;
    for (NbtTag const& state : field(region, "BlockStatePalette", NbtTag::LIST, where).items)
        colors.add(field(state, "Name", NbtTag::STRING, where + "'s palette").text);
    if (colors.size() == 0) throw FormatError(where + " has an empty palette");
    int bits = 2;
    while ((size_t{1} << bits) < colors.size()) ++bits;
    std::vector<int64_t> const& longs = field(region, "BlockStates", NbtTag::LONG_ARRAY, where).numbers;
    size_t const cells = size_t(size[0]) * size[1] * size[2];
    if (longs.size() * 64 < cells * bits) throw FormatError(where + "'s block states end early");
    parts.add({position[0], -(position[2] + size[2] - 1), position[1]}, {size[0], size[2], size[1]});
    uint64_t const mask = (uint64_t{1} << bits) - 1;
    // Packed end to end, an entry may run over into the next long; x
    // fastest, then z, then y.
    for (size_t i = 0; i < cells; ++i) {
        size_t const bit = i * bits, first = bit / 64, offset = bit % 64;
        uint64_t value = static_cast<uint64_t>(longs[first]) >> offset;
        if (offset + bits > 64) value |= static_cast<uint64_t>(longs[first + 1]) << (64 - offset);
        int const x = static_cast<int>(i % size[0]), z = static_cast<int>(i / size[0] % size[2]),
                  y = static_cast<int>(i / (size_t(size[0]) * size[2]));
        addBlock(parts, size, x, y, z, colors.at(value & mask));
    }
    colors.warn(parts);
}

}  // namespace

VoxelParts readLitematic(std::vector<unsigned char> const& bytes) {
    NbtTag const root = tagsOf(bytes);
    VoxelParts parts;
    NbtTag const& regions = field(root, "Regions", NbtTag::COMPOUND, "the file");
    for (size_t i = 0; i < regions.items.size(); ++i) {
        if (regions.items[i].type == NbtTag::COMPOUND)
            addRegion(regions.items[i], "the region " + printable(regions.names[i]), parts);
    }
    return parts;
}

VoxelParts readSchem(std::vector<unsigned char> const& bytes) {
    NbtTag const root = tagsOf(bytes);
    // Version 3 holds its schematic in a compound of that name.
    NbtTag const* nested = root.find("Schematic", NbtTag::COMPOUND);
    NbtTag const& schematic = nested ? *nested : root;
    NbtTag const* blocks = schematic.find("Blocks", NbtTag::COMPOUND);
    NbtTag const& holder = blocks ? *blocks : schematic;
    std::string const where = "the schematic";
    std::array<int, 3> const size = checkedSize(
        {whole(schematic, "Width", where), whole(schematic, "Height", where), whole(schematic, "Length", where)},
        where);
    // The palette maps each block state to its index.
    std::vector<std::string> names;
    NbtTag const& palette = field(holder, "Palette", NbtTag::COMPOUND, where);
    for (size_t i = 0; i < palette.items.size(); ++i) {
        std::string const& state = palette.names[i];
        NbtTag const& index = palette.items[i];
        if (index.type != NbtTag::INT || index.number < 0 || index.number >= 1 << 20)
            throw FormatError("the palette's entry " + printable(state) + " is not an index");
        if (names.size() <= size_t(index.number)) names.resize(size_t(index.number) + 1, "minecraft:air");
        names[size_t(index.number)] = state;
    }
    BlockColors colors;
    for (std::string const& name : names) colors.add(name);
    std::vector<unsigned char> const& data =
        field(holder, blocks ? "Data" : "BlockData", NbtTag::BYTE_ARRAY, where).bytes;
    VoxelParts parts;
    parts.add({0, 0, 0}, {size[0], size[2], size[1]});
    size_t const cells = size_t(size[0]) * size[1] * size[2];
    size_t at = 0;
    // Each index a varint; x fastest, then z, then y.
    for (size_t i = 0; i < cells; ++i) {
        uint32_t index = 0;
        for (int shift = 0;; shift += 7) {
            if (at >= data.size()) throw FormatError("the schematic's block data ends early");
            if (shift > 28) throw FormatError("the schematic's block data holds an index too large");
            unsigned char const byte = data[at++];
            index |= uint32_t(byte & 0x7f) << shift;
            if (!(byte & 0x80)) break;
        }
        int const x = static_cast<int>(i % size[0]), z = static_cast<int>(i / size[0] % size[2]),
                  y = static_cast<int>(i / (size_t(size[0]) * size[2]));
        addBlock(parts, size, x, y, z, colors.at(index));
    }
    colors.warn(parts);
    return parts;
}
