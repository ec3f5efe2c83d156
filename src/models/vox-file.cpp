#include "vox-file.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <map>
#include <optional>
#include <set>

namespace {

constexpr uint32_t MAX_MODEL_SIDE = 256;
constexpr int PALETTE_ENTRIES_READ = 255;
// How far past the end of the data a chunk may be read, as zeros: raylib's
// loader reads the header of a chunk after the palette from the last 4 bytes.
constexpr size_t READ_PAST_END = 16;
// A model's grid sides are rounded up to this, as raylib's loader rounds them.
constexpr int GRID_STEP = 16;
// The most nodes a scene graph's walk may enter: many more than any scene
// has, few enough to be walked at once.
constexpr int MAX_NODE_VISITS = 1 << 20;

// Reads little-endian words and strings between at and end; past the end
// of the data it reads zeros, and past end it fails.
class Reader {
public:
    Reader(std::vector<unsigned char> const& data, size_t at, size_t end) : at(at), end(end), data(data) {}

    size_t at, end;
    bool failed = false;

    bool canRead(size_t n) const { return at <= end && n <= end - at; }
    unsigned char byte(size_t i) const { return i < data.size() ? data[i] : 0; }
    uint32_t u32() {
        if (!canRead(4)) return fail();
        uint32_t value = 0;
        for (size_t i = 0; i < 4; ++i) value |= static_cast<uint32_t>(byte(at + i)) << (8 * i);
        at += 4;
        return value;
    }
    int32_t i32() { return static_cast<int32_t>(u32()); }
    std::string id() const {
        std::string id;
        for (size_t i = 0; i < 4; ++i) id += static_cast<char>(byte(at + i));
        return id;
    }
    std::string string() {
        uint32_t const length = u32();
        if (!canRead(length)) return fail(), "";
        std::string text(data.begin() + static_cast<long>(std::min(at, data.size())),
                         data.begin() + static_cast<long>(std::min(at + length, data.size())));
        at += length;
        return text;
    }
    // A DICT: its keys and values.
    std::map<std::string, std::string> dict() {
        std::map<std::string, std::string> entries;
        uint32_t const count = u32();
        for (uint32_t i = 0; i < count && !failed; ++i) {
            std::string key = string();
            entries[key] = string();
        }
        return entries;
    }

private:
    uint32_t fail() {
        failed = true;
        at = end;
        return 0;
    }
    std::vector<unsigned char> const& data;
};

// A rotation and a translation of voxel centres, in half voxels, so that
// every coordinate is a whole number: MagicaVoxel turns a model about its
// centre, which lies between voxels along an even side.
struct Placement {
    std::array<std::array<int, 3>, 3> rotation{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
    std::array<long long, 3> doubledShift{};

    std::array<long long, 3> apply(std::array<long long, 3> const& p) const {
        std::array<long long, 3> out{};
        for (int row = 0; row < 3; ++row) {
            out[row] = doubledShift[row];
            for (int column = 0; column < 3; ++column) out[row] += rotation[row][column] * p[column];
        }
        return out;
    }
    // This placement after another: a child's within its parent's.
    Placement then(Placement const& child) const {
        Placement both;
        for (int row = 0; row < 3; ++row) {
            for (int column = 0; column < 3; ++column) {
                both.rotation[row][column] = 0;
                for (int k = 0; k < 3; ++k) both.rotation[row][column] += rotation[row][k] * child.rotation[k][column];
            }
        }
        both.doubledShift = apply(child.doubledShift);
        return both;
    }
};

struct Model {
    std::array<uint32_t, 3> size;
    size_t voxelsAt;
    uint32_t count;
};

struct Node {
    enum Kind { TRANSFORM, GROUP, SHAPE } kind;
    bool hidden = false;
    int layer = -1;
    Placement placement{};
    std::vector<int> children{};  // the child of a transform, the model of a shape
};

// The rotation byte's matrix: row i has the sign of bit 4 + i at the column
// of its two bits (the third row's column is the one left).
std::optional<std::array<std::array<int, 3>, 3>> rotationOf(long long byte) {
    int const first = static_cast<int>(byte & 3), second = static_cast<int>(byte >> 2 & 3);
    if (byte < 0 || byte > 127 || first == 3 || second == 3 || first == second) return std::nullopt;
    int const columns[3] = {first, second, 3 - first - second};
    std::array<std::array<int, 3>, 3> rotation{};
    for (int row = 0; row < 3; ++row) rotation[row][columns[row]] = (byte >> (4 + row) & 1) ? -1 : 1;
    return rotation;
}

// Whole numbers written in text, as many as asked, or none.
std::optional<std::vector<long long>> numbersIn(std::string const& text, int count) {
    std::vector<long long> numbers;
    char const* at = text.c_str();
    for (int i = 0; i < count; ++i) {
        char* end = nullptr;
        long long const value = std::strtoll(at, &end, 10);
        if (end == at || value < INT32_MIN || value > INT32_MAX) return std::nullopt;
        numbers.push_back(value);
        at = end;
    }
    return numbers;
}

bool hiddenIn(std::map<std::string, std::string> const& attributes) {
    auto const found = attributes.find("_hidden");
    return found != attributes.end() && found->second == "1";
}

// The scene graph's nodes and layers, and what was wrong with a chunk of it.
struct Graph {
    std::map<int, Node> nodes;
    std::set<int> hiddenLayers;
    std::string problem;

    void add(int id, Node node, Reader const& chunk, char const* name) {
        if (chunk.failed) {
            problem = std::string("a ") + name + " is cut short or damaged";
        } else if (!nodes.emplace(id, std::move(node)).second) {
            problem = "two nodes of the scene graph have the id " + std::to_string(id);
        }
    }
    void readTransform(Reader& chunk) {
        Node node{Node::TRANSFORM};
        int const id = chunk.i32();
        node.hidden = hiddenIn(chunk.dict());
        node.children = {chunk.i32()};
        chunk.i32();  // reserved
        node.layer = chunk.i32();
        uint32_t const frames = chunk.u32();
        if (frames == 0) chunk.failed = true;
        // The first frame places the subtree; the others are an animation's.
        auto const frame = chunk.dict();
        for (uint32_t i = 1; i < frames && !chunk.failed; ++i) chunk.dict();
        if (auto const r = frame.find("_r"); r != frame.end()) {
            auto const byte = numbersIn(r->second, 1);
            auto const rotation = byte ? rotationOf((*byte)[0]) : std::nullopt;
            if (!rotation) {
                problem = "a transform's rotation " + r->second.substr(0, 12) +
                          " is not one: its byte must name a signed permutation of the axes";
                return;
            }
            node.placement.rotation = *rotation;
        }
        if (auto const t = frame.find("_t"); t != frame.end()) {
            auto const shift = numbersIn(t->second, 3);
            if (!shift) {
                problem = "a transform's translation \"" + t->second.substr(0, 40) + "\" is not three whole numbers";
                return;
            }
            for (int axis = 0; axis < 3; ++axis) node.placement.doubledShift[axis] = 2 * (*shift)[axis];
        }
        add(id, std::move(node), chunk, "transform node (nTRN)");
    }
    void readGroup(Reader& chunk) {
        Node node{Node::GROUP};
        int const id = chunk.i32();
        node.hidden = hiddenIn(chunk.dict());
        uint32_t const count = chunk.u32();
        for (uint32_t i = 0; i < count && chunk.canRead(4); ++i) node.children.push_back(chunk.i32());
        if (node.children.size() != count) chunk.failed = true;
        add(id, std::move(node), chunk, "group node (nGRP)");
    }
    void readShape(Reader& chunk) {
        Node node{Node::SHAPE};
        int const id = chunk.i32();
        node.hidden = hiddenIn(chunk.dict());
        uint32_t const count = chunk.u32();
        // The first model shows; the others are an animation's frames.
        if (count == 0) chunk.failed = true;
        node.children = {chunk.i32()};
        chunk.dict();
        add(id, std::move(node), chunk, "shape node (nSHP)");
    }
    void readLayer(Reader& chunk) {
        int const id = chunk.i32();
        if (hiddenIn(chunk.dict())) hiddenLayers.insert(id);
        if (chunk.failed) problem = "a layer (LAYR) is cut short or damaged";
    }
};

// A model placed by a chain of transforms.
struct Instance {
    int model;
    Placement placement{};
};

// Every visible model of the graph, walked from the root without recursion,
// so that no nesting depth overflows the stack; or what keeps it from being
// walked.
std::string placeModels(Graph const& graph, size_t modelCount, std::vector<Instance>& instances) {
    if (!graph.nodes.count(0)) return "the scene graph has no root (node 0)";
    struct Step {
        int id;
        Placement placement;
        bool leaving;
    };
    std::vector<Step> steps{{0, Placement{}, false}};
    std::set<int> onPath;
    int visits = 0;
    while (!steps.empty()) {
        Step const step = steps.back();
        steps.pop_back();
        if (step.leaving) {
            onPath.erase(step.id);
            continue;
        }
        auto const found = graph.nodes.find(step.id);
        if (found == graph.nodes.end())
            return "the scene graph names node " + std::to_string(step.id) + ", which it lacks";
        if (!onPath.insert(step.id).second) return "the scene graph loops back to node " + std::to_string(step.id);
        if (++visits > MAX_NODE_VISITS) return "the scene graph is too large to walk";
        Node const& node = found->second;
        steps.push_back({step.id, {}, true});
        if (node.hidden || graph.hiddenLayers.count(node.layer)) continue;
        if (node.kind == Node::SHAPE) {
            int const model = node.children[0];
            if (model < 0 || static_cast<size_t>(model) >= modelCount) {
                return "a shape shows model " + std::to_string(model) + ", but the file has " +
                       std::to_string(modelCount);
            }
            instances.push_back({model, step.placement});
            continue;
        }
        Placement const placement = node.kind == Node::TRANSFORM ? step.placement.then(node.placement) : step.placement;
        for (auto child = node.children.rbegin(); child != node.children.rend(); ++child) {
            steps.push_back({*child, placement, false});
        }
    }
    return "";
}

// The doubled centre of voxel v of a model of the given size, about the
// model's centre: MagicaVoxel's pivot is the middle voxel, rounded down.
std::array<long long, 3> doubledCentre(std::array<uint32_t, 3> const& size, std::array<long long, 3> const& v) {
    std::array<long long, 3> centre{};
    for (int axis = 0; axis < 3; ++axis) centre[axis] = 2 * (v[axis] - size[axis] / 2) + 1;
    return centre;
}

// The voxel whose doubled centre this is.
std::array<long long, 3> voxelAt(std::array<long long, 3> const& doubled) {
    return {(doubled[0] - 1) / 2, (doubled[1] - 1) / 2, (doubled[2] - 1) / 2};
}

// Puts the placed models into the grid, y up: MagicaVoxel's z is the
// grid's y, and its y runs along the grid's -z.
std::string compose(std::vector<unsigned char> const& data, std::vector<Model> const& models,
                    std::vector<Instance> const& instances, VoxelGrid* grid) {
    std::array<long long, 3> low{LLONG_MAX, LLONG_MAX, LLONG_MAX}, high{LLONG_MIN, LLONG_MIN, LLONG_MIN};
    size_t voxels = 0;
    for (Instance const& instance : instances) {
        Model const& model = models[instance.model];
        voxels += model.count;
        if (voxels > MAX_COMPOSED_VOXELS) {
            return "its scene places more than " + std::to_string(MAX_COMPOSED_VOXELS) + " voxels";
        }
        for (int corner = 0; corner < 8; ++corner) {
            std::array<long long, 3> v{};
            for (int axis = 0; axis < 3; ++axis) v[axis] = (corner >> axis & 1) ? model.size[axis] - 1 : 0;
            auto const placed = voxelAt(instance.placement.apply(doubledCentre(model.size, v)));
            for (int axis = 0; axis < 3; ++axis) {
                low[axis] = std::min(low[axis], placed[axis]);
                high[axis] = std::max(high[axis], placed[axis]);
            }
        }
    }
    if (instances.empty()) {
        if (grid) *grid = VoxelGrid(0, 0, 0);
        return "";
    }
    for (int axis = 0; axis < 3; ++axis) {
        if (high[axis] - low[axis] >= MAX_COMPOSED_SIDE) {
            return "its scene spans " + std::to_string(high[axis] - low[axis] + 1) + " voxels along " + "xyz"[axis] +
                   ", more than " + std::to_string(MAX_COMPOSED_SIDE);
        }
    }
    if (!grid) return "";
    auto const palette = grid->palette;
    auto const materials = grid->materials;
    *grid = VoxelGrid(static_cast<int>(high[0] - low[0] + 1), static_cast<int>(high[2] - low[2] + 1),
                      static_cast<int>(high[1] - low[1] + 1));
    grid->palette = palette;
    grid->materials = materials;
    for (Instance const& instance : instances) {
        Model const& model = models[instance.model];
        for (uint32_t i = 0; i < model.count; ++i) {
            size_t const at = model.voxelsAt + 4 * size_t{i};
            std::array<long long, 3> const v{data[at], data[at + 1], data[at + 2]};
            auto const placed = voxelAt(instance.placement.apply(doubledCentre(model.size, v)));
            grid->set(static_cast<int>(placed[0] - low[0]), static_cast<int>(placed[2] - low[2]),
                      static_cast<int>(high[1] - placed[1]), data[at + 3]);
        }
    }
    return "";
}

int roundedUp(uint32_t side) {
    return static_cast<int>((side + GRID_STEP - 1) / GRID_STEP * GRID_STEP);
}

// The last model alone, as raylib's loader shows a file without a scene
// graph: the file's y runs along the grid's -z, from the far side of the
// rounded grid.
void lastModel(std::vector<unsigned char> const& data, Model const& model, VoxelGrid& grid) {
    auto const palette = grid.palette;
    auto const materials = grid.materials;
    grid = VoxelGrid(roundedUp(model.size[0]), roundedUp(model.size[2]), roundedUp(model.size[1]));
    grid.palette = palette;
    grid.materials = materials;
    for (uint32_t i = 0; i < model.count; ++i) {
        size_t const at = model.voxelsAt + 4 * size_t{i};
        grid.set(data[at], data[at + 2], grid.sizeZ - data[at + 1] - 1, data[at + 3]);
    }
}

}  // namespace

std::array<raylib::Color, 256> const& defaultVoxPalette() {
    static std::array<raylib::Color, 256> const palette = [] {
        std::array<raylib::Color, 256> colors{};
        auto const level = [](int step) { return static_cast<unsigned char>(255 - 51 * step); };
        // Entries 1 to 215: red slowest, blue fastest, from white down; black is left out.
        for (int i = 1; i <= 215; ++i) {
            colors[i] = {level((i - 1) / 36), level((i - 1) / 6 % 6), level((i - 1) % 6), 255};
        }
        // Then ten shades each of red, green, blue and grey, from light to dark.
        unsigned char const shades[10] = {0xee, 0xdd, 0xbb, 0xaa, 0x88, 0x77, 0x55, 0x44, 0x22, 0x11};
        for (int k = 0; k < 10; ++k) {
            unsigned char const s = shades[k];
            colors[216 + k] = {s, 0, 0, 255};
            colors[226 + k] = {0, s, 0, 255};
            colors[236 + k] = {0, 0, s, 255};
            colors[246 + k] = {s, s, s, 255};
        }
        return colors;
    }();
    return palette;
}

std::optional<Problem> voxFileSizeProblem(unsigned long long bytes) {
    if (bytes > MAX_VOX_FILE_BYTES) return Problem{.message = "the file is larger than 16 MiB"};
    return std::nullopt;
}

namespace {

// What the chunks of a file hold, as they are read.
struct Chunks {
    std::vector<unsigned char> const& data;
    VoxelGrid* grid;
    std::vector<Model> models{};
    Graph graph{};
    bool pastPalette = false;
};

std::string readSize(Reader& reader, Chunks& file) {
    if (!reader.canRead(12)) return "the file ends inside a SIZE chunk";
    if (file.models.size() == MAX_VOX_MODELS) return "more than " + std::to_string(MAX_VOX_MODELS) + " models";
    Model model{{reader.u32(), reader.u32(), reader.u32()}, 0, 0};
    for (uint32_t const side : model.size) {
        if (side < 1 || side > MAX_MODEL_SIDE)
            return "a model size of " + std::to_string(side) + " voxels (1 to 256 allowed)";
    }
    file.models.push_back(model);
    return "";
}

std::string readVoxels(Reader& reader, uint32_t contentSize, Chunks& file) {
    if (file.models.empty()) return "voxels (XYZI) come before any model size (SIZE)";
    if (file.models.back().voxelsAt > 0) return "a model has two voxel chunks (XYZI)";
    if (!reader.canRead(4)) return "the file ends inside an XYZI chunk";
    Model& model = file.models.back();
    model.count = reader.u32();
    if (reader.at + size_t{model.count} * 4 > file.data.size()) {
        return "the file ends before its " + std::to_string(model.count) + " voxels";
    }
    // Voxels past their own chunk would be read from the chunks after it.
    if (size_t{model.count} * 4 + 4 > contentSize) {
        return "a voxel chunk (XYZI) holds fewer than its " + std::to_string(model.count) + " voxels";
    }
    model.voxelsAt = reader.at;
    for (uint32_t i = 0; i < model.count; ++i, reader.at += 4) {
        for (int axis = 0; axis < 3; ++axis) {
            if (file.data[reader.at + axis] >= model.size[axis]) return "a voxel lies outside its model";
        }
    }
    return "";
}

std::string readPalette(Reader& reader, Chunks& file) {
    if (!reader.canRead(PALETTE_ENTRIES_READ * 4)) return "the file ends inside its palette (RGBA)";
    for (int i = 0; file.grid && i < PALETTE_ENTRIES_READ; ++i) {
        size_t const at = reader.at + 4 * i;
        file.grid->palette[i + 1] = {reader.byte(at), reader.byte(at + 1), reader.byte(at + 2), reader.byte(at + 3)};
    }
    reader.at += PALETTE_ENTRIES_READ * 4;
    return "";
}

// A material's number in its dictionary, from 0 to 1; fallback when it
// has none or it is no number.
float materialValue(std::map<std::string, std::string> const& properties, std::initializer_list<char const*> keys,
                    float fallback) {
    for (char const* key : keys) {
        auto const found = properties.find(key);
        if (found == properties.end()) continue;
        char* end = nullptr;
        float const value = std::strtof(found->second.c_str(), &end);
        if (end != found->second.c_str() && std::isfinite(value)) return std::clamp(value, 0.0f, 1.0f);
    }
    return fallback;
}

// A material chunk (MATL): the material of the colour index of its id.
std::string readMaterial(Reader& chunk, Chunks& file) {
    int const id = chunk.i32();
    auto const properties = chunk.dict();
    if (chunk.failed) return "a material (MATL) is cut short or damaged";
    if (!file.grid || id < 1 || id > 255) return "";
    auto const type = properties.find("_type");
    std::string const kind = type == properties.end() ? "" : type->second;
    VoxMaterial material;
    material.rough = materialValue(properties, {"_rough"}, 0);
    if (kind == "_emit") {
        material = {VoxMaterial::EMIT, materialValue(properties, {"_emit", "_weight"}, 1), 0};
    } else if (kind == "_glass") {
        material = {VoxMaterial::GLASS, materialValue(properties, {"_trans", "_alpha", "_weight"}, 0.5f), 0};
    } else if (kind == "_metal") {
        material = {VoxMaterial::METAL, materialValue(properties, {"_metal", "_weight"}, 1), material.rough};
    }
    file.grid->materials[id] = material;
    return "";
}

// Reads the chunk at the reader, which a whole chunk header can always be
// read from (at most 11 bytes of it lie past the end). Sets stop when the
// reading ends there.
std::string readChunk(Reader& reader, Chunks& file, bool& stop) {
    std::string const id = reader.id();
    reader.at += 4;
    uint32_t const contentSize = reader.u32();
    reader.u32();  // size of the children, which are read in line
    std::vector<unsigned char> const& data = file.data;
    Reader chunk(data, reader.at, std::min(reader.at + contentSize, data.size() + READ_PAST_END));
    // MagicaVoxel writes the models, their scene graph and the palette, then
    // the materials; past the palette, as raylib's loader reads files, only
    // the materials are read.
    bool const read = !file.pastPalette || id == "MATL";
    if (read && id == "SIZE") return readSize(reader, file);
    if (read && id == "XYZI") return readVoxels(reader, contentSize, file);
    if (read && id == "RGBA") {
        std::string const problem = readPalette(reader, file);
        file.pastPalette = true;
        // Past the last entry, which is never shown: the materials follow.
        reader.at = std::max(reader.at, chunk.end);
        return problem;
    }
    if (id == "MATL") {
        reader.at = chunk.end;
        return readMaterial(chunk, file);
    }
    if (read && (id == "nTRN" || id == "nGRP" || id == "nSHP" || id == "LAYR")) {
        if (id == "nTRN") file.graph.readTransform(chunk);
        if (id == "nGRP") file.graph.readGroup(chunk);
        if (id == "nSHP") file.graph.readShape(chunk);
        if (id == "LAYR") file.graph.readLayer(chunk);
        reader.at = chunk.end;
        return file.graph.problem;
    }
    // Other chunks are skipped, their children read in line; a size
    // reaching past the end ends the reading.
    stop = contentSize >= data.size() - std::min(data.size(), reader.at);
    if (!stop) reader.at += contentSize;
    return "";
}

std::string readVox(std::vector<unsigned char> const& data, VoxelGrid* grid) {
    if (data.size() < 8) return "the file is too short for a .vox header";
    if (std::memcmp(data.data(), "VOX ", 4) != 0) return "the file does not start with \"VOX \"";
    Reader reader(data, 4, data.size() + READ_PAST_END);
    uint32_t const version = reader.u32();
    if (version != 150 && version != 200) return "unsupported .vox version " + std::to_string(version);

    // A file without a palette of its own has the default one.
    if (grid) grid->palette = defaultVoxPalette();
    if (grid) grid->materials = {};
    Chunks file{data, grid};
    for (bool stop = false; reader.at < data.size() && !stop;) {
        if (std::string const problem = readChunk(reader, file, stop); !problem.empty()) return problem;
    }
    if (file.graph.nodes.empty()) {
        if (grid && !file.models.empty()) lastModel(data, file.models.back(), *grid);
        return "";
    }
    std::vector<Instance> instances;
    if (std::string const problem = placeModels(file.graph, file.models.size(), instances); !problem.empty()) {
        return problem;
    }
    return compose(data, file.models, instances, grid);
}

}  // namespace

std::optional<Problem> readVoxFile(std::vector<unsigned char> const& data, VoxelGrid* grid) {
    if (auto tooLarge = voxFileSizeProblem(data.size())) return tooLarge;
    std::string const problem = readVox(data, grid);
    if (problem.empty()) return std::nullopt;
    return Problem{.message = problem};
}
