#include "scene-parser.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

#include "random.h"

namespace {

using Warnings = std::vector<std::pair<size_t, std::string>>;

// What a keyword that is not one may have meant to be.
std::string keywordHint(std::string const& word) {
    if (word[0] == ',') return "an entry ends with its last field: the ',' after it is read as the next keyword";
    if (word[0] == '#') return "a comment's # stands alone: write \"# " + printable(word.substr(1, 40)) + "\"";
    std::string lower = word;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (objectTypeMapper.count(lower)) return "keywords are written in lower case: " + lower;
    return "";
}

// A colour written #rrggbb.
std::optional<raylib::Color> hexColor(std::string const& word) {
    bool const hex = word.size() == 7 && word[0] == '#' &&
                     std::all_of(word.begin() + 1, word.end(), [](unsigned char c) { return std::isxdigit(c); });
    if (!hex) return std::nullopt;
    unsigned long const rgb = std::strtoul(word.c_str() + 1, nullptr, 16);
    auto const channel = [&](int shift) { return static_cast<unsigned char>(rgb >> shift & 0xFF); };
    return raylib::Color{channel(16), channel(8), channel(0), 255};
}

// A colour, read as word: a colour word or #rrggbb.
raylib::Color colorOfWord(SceneTokens& tokens, std::string const& word) {
    if (tokens.failure()) return {};
    if (auto const color = colorMapper.find(word); color != colorMapper.end()) return color->second;
    if (auto const color = hexColor(word)) return *color;
    if (word.empty()) {
        tokens.fail("Expected a colour word but got end of file", TokenFailure::BAD_COLOUR);
    } else if (word[0] == '#') {
        tokens.fail("Unknown colour \"" + printable(word.substr(0, 40)) +
                        "\": a colour written with # has six hexadecimal digits, #rrggbb",
                    TokenFailure::BAD_COLOUR);
    } else {
        tokens.fail("Unknown colour word \"" + printable(word.substr(0, 40)) +
                        "\": the colours are green, red, brown, light_gray, dark_blue and gray",
                    TokenFailure::BAD_COLOUR);
    }
    return {};
}

raylib::Color readColor(SceneTokens& tokens) {
    return colorOfWord(tokens, tokens.word());
}

SunEntry readSun(SceneTokens& tokens) {
    SunEntry sun{tokens.vector()};
    raylib::Vector3 const v = sun.towardSun;
    if (!tokens.failure() &&
        !(std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z) && (v.x != 0 || v.y != 0 || v.z != 0))) {
        tokens.fail("Expected the way to the sun but got (0, 0, 0), which points nowhere", TokenFailure::BAD_OPTION);
    }
    return sun;
}

SkyEntry readSky(SceneTokens& tokens) {
    SkyEntry sky;
    // A comma right after the first colour ends it, as after a model's name.
    std::string horizon = tokens.word();
    bool const touching = !horizon.empty() && horizon.back() == ',';
    if (touching) horizon.pop_back();
    sky.horizon = colorOfWord(tokens, horizon);
    if (!touching) tokens.separator();
    sky.zenith = readColor(tokens);
    return sky;
}

StartEntry readStart(SceneTokens& tokens) {
    StartEntry start;
    start.eye = tokens.vector();
    tokens.separator();
    start.look = tokens.vector();
    if (!tokens.failure() && raylib::Vector3Equals(start.eye, start.look)) {
        tokens.fail("Expected a point to look at other than the eye", TokenFailure::BAD_OPTION);
    }
    return start;
}

FogEntry readFog(SceneTokens& tokens) {
    FogEntry fog;
    fog.start = tokens.number();
    tokens.separator();
    fog.end = tokens.number();
    if (!tokens.failure() && !(fog.start >= 0 && fog.start < fog.end && fog.end <= MAX_FOG_END)) {
        tokens.fail(raylib::TextFormat("Expected a fog that begins at 0 or farther and ends farther than it begins, "
                                       "at most %g away, but got %g to %g",
                                       MAX_FOG_END, fog.start, fog.end),
                    TokenFailure::BAD_OPTION);
    }
    return fog;
}

RectEntry readRect(SceneTokens& tokens, Warnings* warnings) {
    RectEntry rect;
    rect.center = tokens.vector();
    tokens.separator();
    tokens.more();
    size_t const sizeAt = tokens.offset();
    rect.size = tokens.vector();
    tokens.separator();
    rect.color = readColor(tokens);
    raylib::Vector3 const size = rect.size;
    if (warnings && !tokens.failure() && !(size.x > 0 && size.y > 0 && size.z > 0)) {
        warnings->emplace_back(sizeAt, raylib::TextFormat("a rect of no room: its size (%g, %g, %g) is not above 0 "
                                                          "along x, y and z",
                                                          size.x, size.y, size.z));
    }
    return rect;
}

// What may follow a model's position: ", scale S", ", solid" and ", color C".
void readModelOptions(SceneTokens& tokens, ModelEntry& model) {
    while (tokens.take(',')) {
        std::string const option = tokens.word();
        if (option == "solid") {
            model.solid = true;
        } else if (option == "scale") {
            model.scale = tokens.number();
            if (!tokens.failure() && !(model.scale > 0 && model.scale <= MAX_MODEL_SCALE)) {
                tokens.fail("Expected a scale above 0 and at most " + std::to_string(int(MAX_MODEL_SCALE)) +
                                " but got " + printable(std::to_string(model.scale)),
                            TokenFailure::BAD_OPTION);
            }
        } else if (option == "color") {
            model.color = readColor(tokens);
        } else {
            tokens.fail("Expected scale, solid or color after a model's ',' but got " +
                            (option.empty() ? std::string("end of file") : "\"" + printable(option) + "\""),
                        TokenFailure::BAD_OPTION);
        }
    }
}

ModelEntry readModel(SceneTokens& tokens) {
    ModelEntry model;
    tokens.more();
    model.namePlace = tokens.placeOf(tokens.offset());
    model.name = tokens.word();
    // A comma right after the name ends it; otherwise one follows it.
    if (!model.name.empty() && model.name.back() == ',') {
        model.name.pop_back();
    } else {
        tokens.separator();
    }
    model.position = tokens.vector();
    readModelOptions(tokens, model);
    return model;
}

CloudEntry readCloud(SceneTokens& tokens, raylib::Vector3 voxelSize) {
    CloudEntry cloud;
    cloud.center = tokens.vector();
    tokens.separator();
    cloud.extent = tokens.vector();
    tokens.separator();
    cloud.density = tokens.number();
    cloud.voxelSize = voxelSize;
    return cloud;
}

MountainEntry readMountain(SceneTokens& tokens) {
    MountainEntry mountain;
    mountain.position = tokens.vector();
    tokens.separator();
    mountain.size = tokens.vector();
    return mountain;
}

bool givenBefore(ObjectType type, SceneDescription const& scene) {
    return std::any_of(scene.entries.begin(), scene.entries.end(),
                       [type](SceneEntry const& entry) { return entry.type == type; });
}

char const* keywordOf(ObjectType type) {
    for (auto const& [word, entryType] : objectTypeMapper) {
        if (entryType == type) return word.c_str();
    }
    return "";
}

// One entry, its keyword read: into the description, or its problem.
void readEntry(ObjectType type, size_t keywordAt, SceneTokens& tokens, SceneDescription& scene) {
    Warnings warnings;
    tokens.clearSlip();
    std::optional<EntryFields> fields = readEntryFields(type, tokens, &warnings);
    if (auto const& failure = tokens.failure()) {
        Problem problem = problemAt(tokens.lines(), scene.sourceName, failure->at, failure->message);
        problem.hint = tokens.slipHint();
        scene.problems.push_back(std::move(problem));
        tokens.skipToNextEntry();
        return;
    }
    for (auto& [at, message] : warnings) {
        scene.problems.push_back(
            problemAt(tokens.lines(), scene.sourceName, at, std::move(message), Severity::WARNING));
    }
    if (!fields) return;
    if (type >= SUN && givenBefore(type, scene)) {
        scene.problems.push_back(problemAt(tokens.lines(), scene.sourceName, keywordAt,
                                           "The scene's " + std::string(keywordOf(type)) +
                                               " is given again: this one holds, and the one before is left out",
                                           Severity::WARNING));
    }
    scene.entries.push_back(
        {type, std::move(*fields), tokens.placeOf(keywordAt), tokens.placeOf(tokens.tokenStart()), tokens.offset()});
}

}  // namespace

std::map<std::string, ObjectType> const objectTypeMapper{
    {"#", COMMENT},
    {"##", COMMENT},
    {"rect", RECT},
    {"model", MODEL},
    {"voxels_cloud", VOXELS_CLOUD},
    {"voxels_cloud_huge", VOXELS_CLOUD_HUGE},
    {"mountain", MOUNTAIN},
    {"sun", SUN},
    {"sky", SKY},
    {"fog", FOG},
    {"start", START},
};

std::map<std::string, raylib::Color> const colorMapper{
    {"green", colorGreen},
    {"red", colorRed},
    {"brown", colorBrown},
    {"light_gray", {200, 200, 200, 255}},
    {"dark_blue", {0, 82, 172, 255}},
    {"gray", {130, 130, 130, 255}},
};

std::string unknownKeywordMessage(std::string const& word) {
    return "Encountered unknown object: " + printable(word.size() > 40 ? word.substr(0, 40) + "..." : word);
}

std::optional<EntryFields> readEntryFields(ObjectType type, SceneTokens& tokens, Warnings* warnings) {
    std::optional<EntryFields> fields;
    switch (type) {
        case COMMENT: tokens.restOfLine(); return std::nullopt;
        case RECT: fields = readRect(tokens, warnings); break;
        case MODEL: fields = readModel(tokens); break;
        case VOXELS_CLOUD: fields = readCloud(tokens, SMALL_VOXEL); break;
        case VOXELS_CLOUD_HUGE: fields = readCloud(tokens, HUGE_VOXEL); break;
        case MOUNTAIN: fields = readMountain(tokens); break;
        case SUN: fields = readSun(tokens); break;
        case SKY: fields = readSky(tokens); break;
        case FOG: fields = readFog(tokens); break;
        case START: fields = readStart(tokens); break;
    }
    if (tokens.failure()) return std::nullopt;
    return fields;
}

SceneDescription readSceneDescription(std::string const& text, std::string const& sourceName) {
    SceneDescription scene{sourceName, {}, {}};
    SceneTokens tokens(text);
    while (tokens.more()) {
        size_t const keywordAt = tokens.offset();
        std::string const word = tokens.word();
        auto const type = objectTypeMapper.find(word);
        if (type != objectTypeMapper.end()) {
            readEntry(type->second, keywordAt, tokens, scene);
            continue;
        }
        Problem problem = problemAt(tokens.lines(), sourceName, keywordAt, unknownKeywordMessage(word));
        problem.hint = keywordHint(word);
        scene.problems.push_back(std::move(problem));
        tokens.skipToNextEntry();
    }
    return scene;
}

bool SceneDescription::hasFatalProblem() const {
    for (Problem const& problem : problems) {
        if (problem.severity == Severity::FATAL) return true;
    }
    return false;
}
