#include "scene-reader.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <locale>
#include <sstream>
#include <stdexcept>

#include "model-entity.h"
#include "voxel-builders.h"

namespace {

constexpr std::streamsize MAX_COMMENT_LENGTH = 65536;
constexpr float MODEL_SCALE = 0.1f;
constexpr float MAX_MODEL_SCALE = 100.0f;
constexpr raylib::Vector3 SMALL_VOXEL{0.025f, 0.025f, 0.025f};
constexpr raylib::Vector3 HUGE_VOXEL{2.5f, 2.5f, 2.5f};

void logLine(std::string const& line) {
    std::clog << line << std::endl;
}

// Logs the message and raises it, for failures of the stream itself.
[[noreturn]] void fail(std::string const& message) {
    logLine(message);
    throw new std::runtime_error(message);
}

// What stands at the stream's current place, for error messages.
std::string describeNext(std::istream& stream) {
    stream.clear();
    std::string word;
    if (!(stream >> word)) return "end of file";
    return "\"" + printable(word.substr(0, 40)) + "\"";
}

// The length of the UTF-8 sequence that starts at text[at], or 0 when none
// does.
size_t utf8Length(std::string const& text, size_t at) {
    auto const byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    size_t const length = byte(at) >= 0xF0 && byte(at) <= 0xF4 ? 4 : byte(at) >= 0xE0 ? 3 : byte(at) >= 0xC2 ? 2 : 0;
    if (length == 0 || at + length > text.size()) return 0;
    for (size_t i = at + 1; i < at + length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
    }
    return length;
}

// The characters of a problem's line shown at most, after its indent: with
// it, a terminal 80 columns wide.
constexpr size_t LINE_SHOWN = 76;

bool isContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The characters of UTF-8 text, as a terminal shows them.
size_t shownWidth(std::string const& text) {
    return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) { return !isContinuation(c); }));
}

std::string firstCharacters(std::string const& text, size_t count) {
    size_t end = 0;
    for (size_t seen = 0; end < text.size(); ++end) {
        if (!isContinuation(text[end]) && seen++ == count) break;
    }
    return text.substr(0, end);
}

std::string lastCharacters(std::string const& text, size_t count) {
    size_t start = text.size();
    for (size_t seen = 0; start > 0 && seen < count;) {
        --start;
        seen += !isContinuation(text[start]);
    }
    return text.substr(start);
}

// What a keyword that is not one may have meant to be.
std::string keywordHint(std::string const& word) {
    if (word[0] == ',') return "an entry ends with its last field: the ',' after it is read as the next keyword";
    if (word[0] == '#') return "a comment's # stands alone: write \"# " + printable(word.substr(1, 40)) + "\"";
    std::string lower = word;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (objectTypeMapper.count(lower)) return "keywords are written in lower case: " + lower;
    return "";
}

// A box that overlaps nothing: no corner compares as ordered.
AABB nowhere() {
    float const nan = std::numeric_limits<float>::quiet_NaN();
    return AABB({nan, nan, nan}, {nan, nan, nan});
}

// What the exception in flight says, leaving it as it is.
std::string messageOfCurrentException() {
    try {
        throw;
    } catch (std::exception* e) {
        return e->what();
    } catch (std::exception const& e) {
        return e.what();
    } catch (...) {
        return "an unknown error";
    }
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
};

std::map<std::string, raylib::Color> const colorMapper{
    {"green", colorGreen},
    {"red", colorRed},
    {"brown", colorBrown},
    {"light_gray", {200, 200, 200, 255}},
    {"dark_blue", {0, 82, 172, 255}},
    {"gray", {130, 130, 130, 255}},
};

SceneReader::SceneReader(std::shared_ptr<Player> player, std::istream* stream, std::shared_ptr<World> world,
                         std::string sourceName)
    : player(std::move(player)), stream(stream), world(std::move(world)), sourceName(std::move(sourceName)) {
    // Numbers are read the same way whatever the program's locale.
    this->stream->imbue(std::locale::classic());
}

std::string describeProblem(std::string const& sourceName, SceneProblem const& problem) {
    return sourceName + ":" + std::to_string(problem.line) + ":" + std::to_string(problem.column) +
           (problem.severity == Severity::WARNING ? ": warning: " : ": error: ") + problem.message;
}

std::string printable(std::string const& text) {
    std::string shown;
    for (size_t at = 0; at < text.size();) {
        unsigned char const c = static_cast<unsigned char>(text[at]);
        size_t const length = c >= 0x80 ? utf8Length(text, at) : 0;
        if (length > 0) {
            shown += text.substr(at, length);
            at += length;
            continue;
        }
        if ((c >= 0x20 && c < 0x7F) || c == '\t') {
            shown += static_cast<char>(c);
        } else {
            shown += raylib::TextFormat("\\x%02X", c);
        }
        ++at;
    }
    return shown;
}

std::string describeWithLine(std::string const& sourceName, SceneProblem const& problem) {
    std::string text = describeProblem(sourceName, problem) + "\n";
    if (problem.line > 0 && !problem.lineText.empty()) {
        std::string before = printable(problem.lineText.substr(0, problem.column - 1));
        std::string after = printable(problem.lineText.substr(problem.column - 1));
        // A long line is shown around the column, a screen wide.
        if (shownWidth(before) + shownWidth(after) > LINE_SHOWN) {
            if (shownWidth(before) > LINE_SHOWN / 2) before = "..." + lastCharacters(before, LINE_SHOWN / 2 - 3);
            if (shownWidth(before) + shownWidth(after) > LINE_SHOWN)
                after = firstCharacters(after, LINE_SHOWN - shownWidth(before) - 3) + "...";
        }
        // The caret stands under the column, with the tabs of the line kept.
        std::string indent;
        for (size_t i = 0; i < before.size(); ++i) {
            if (!isContinuation(before[i])) indent += before[i] == '\t' ? '\t' : ' ';
        }
        text += "    " + before + after + "\n    " + indent + "^\n";
    }
    if (!problem.hint.empty()) text += "hint: " + problem.hint + "\n";
    return text;
}

std::string reasonOfCurrentException() {
    std::string const reason = messageOfCurrentException();
    try {
        throw;
    } catch (std::exception* e) {
        delete e;
    } catch (...) {
    }
    return reason;
}

std::shared_ptr<World> SceneReader::readScene() {
    // The first entry with which the estimate passes the memory limit.
    std::optional<std::streampos> tooLarge;
    *stream >> std::ws;
    while (!stream->eof()) {
        if (stream->fail()) {
            problem = {.message = "Scene reading stopped: " + sourceName + " could not be read"};
            if (onProblem) {
                onProblem(problem);
                break;
            }
            fail(problem.message);
        }
        startToken();
        std::streampos const entryStart = tokenStart;
        std::string word;
        *stream >> word;
        if (word.empty()) continue;

        auto const type = objectTypeMapper.find(word);
        if (type == objectTypeMapper.end()) {
            std::string const shown = word.size() > 40 ? word.substr(0, 40) + "..." : word;
            problem = problemAt(entryStart, "Encountered unknown object: " + printable(shown));
            problem.hint = keywordHint(word);
            if (onProblem) {
                onProblem(problem);
                skipToNextEntry();
                continue;
            }
            logLine(problem.message);
            logWhere(entryStart, word);
            return nullptr;
        }
        int const before = world->intersector->size();
        slip.reset();
        try {
            readObjectDetails(type->second);
        } catch (...) {
            if (!onProblem) {
                problem = problemAt(tokenStart, messageOfCurrentException());
                logWhere(entryStart, word);
                throw;
            }
            SceneProblem found = problemAt(tokenStart, reasonOfCurrentException());
            found.hint = slipHint();
            onProblem(found);
            skipToNextEntry();
            continue;
        }
        if (onEntry) onEntry(type->second, world->intersector->size() - before);
        if (progress) {
            progress->entries += 1;
            std::streamoff const at = stream->tellg();  // -1 once the stream has ended
            progress->bytesRead = at < 0 ? progress->bytesTotal.load() : static_cast<size_t>(at);
            if (progress->stop) {
                problem = {.message = "Scene reading stopped before its end"};
                if (onProblem) onProblem(problem);
                return nullptr;
            }
        }
        if (estimate && estimate->bytes() > memoryLimit && !tooLarge) tooLarge = entryStart;
    }
    if (progress) progress->bytesRead = progress->bytesTotal.load();
    if (tooLarge) {
        problem = problemAt(*tooLarge, "Scene refused: it needs about " + memorySize(estimate->bytes()) +
                                           " of memory, more than the " + memorySize(memoryLimit) +
                                           " available, which the entries up to this one already pass");
        if (onProblem) {
            onProblem(problem);
        } else {
            logLine(problem.message);
        }
        return nullptr;
    }
    return world;
}

void SceneReader::readObjectDetails(ObjectType type) {
    switch (type) {
        case COMMENT: readComment(); break;
        case RECT: readRect(); break;
        case MODEL: readModel(); break;
        case VOXELS_CLOUD: readVoxelsCloud(SMALL_VOXEL); break;
        case VOXELS_CLOUD_HUGE: readVoxelsCloud(HUGE_VOXEL); break;
        case MOUNTAIN: readMountain(); break;
        default:
            logLine("Object parsing not implemented: " + std::to_string(static_cast<int>(type)));
            throw new std::invalid_argument("Object parsing not implemented!");
    }
}

void SceneReader::readComment() {
    stream->ignore(MAX_COMMENT_LENGTH, '\n');
}

raylib::Vector3 SceneReader::readVector3() {
    startToken();
    std::streampos const start = tokenStart;
    char opening = 0;
    if (!(*stream >> opening) || opening != '(') {
        std::string const message =
            std::string("Expected '(' but got ") + (*stream ? printable(std::string(1, opening)) : "end of file");
        // A check reports the message itself; the game logs it and raises a bare exception.
        if (onProblem) throw std::runtime_error(message);
        logLine(message);
        throw new std::exception();
    }
    // Any character separates and closes a vector; a digit or a comma where
    // the numbers end often means a slip, which a problem after it names.
    auto const separator = [&](bool closing) {
        char const c = readSeparator();
        if (std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '+' || c == '.') {
            noteSlip(start, "the vector at column %d needs a ',' between its numbers: write (x, y, z)");
        } else if (closing && c == ',') {
            noteSlip(start, "the vector at column %d ends with ',', not ')': is its ')' missing?");
        }
    };
    raylib::Vector3 v;
    v.x = readNumber();
    separator(false);
    v.y = readNumber();
    separator(false);
    v.z = readNumber();
    separator(true);
    return v;
}

void SceneReader::noteSlip(std::streampos at, char const* hint) {
    if (!slip) slip = {at, hint};
}

std::string SceneReader::slipHint() const {
    if (!slip) return "";
    return raylib::TextFormat(slip->second, problemAt(slip->first, "").column);
}

float SceneReader::readNumber() {
    startToken();
    float value = 0.0f;
    if (!(*stream >> value)) fail("Expected a number but got " + describeNext(*stream));
    return value;
}

// Reads one separator character; which character it is does not matter.
char SceneReader::readSeparator() {
    startToken();
    char separator = 0;
    if (!(*stream >> separator)) fail("Expected a separator such as ',' but got end of file");
    if (separator == '(') noteSlip(tokenStart, "a ',' is missing before the '(' at column %d");
    return separator;
}

void SceneReader::readRect() {
    raylib::Vector3 const center = readVector3();
    readSeparator();
    startToken();
    std::streampos const sizeStart = tokenStart;
    raylib::Vector3 const size = readVector3();
    readSeparator();
    startToken();
    std::string colorWord;
    *stream >> colorWord;
    if (onProblem && !colorMapper.count(colorWord)) {
        if (colorWord.empty()) throw std::out_of_range("Expected a colour word but got end of file");
        throw std::out_of_range("Unknown colour word \"" + printable(colorWord.substr(0, 40)) +
                                "\": the colours are green, red, brown, light_gray, dark_blue and gray");
    }
    raylib::Color const color = colorMapper.at(colorWord);
    if (onProblem && !estimate && !(size.x > 0 && size.y > 0 && size.z > 0)) {
        onProblem(problemAt(sizeStart,
                            raylib::TextFormat("a rect of no room: its size (%g, %g, %g) is not above 0 along x, y "
                                               "and z",
                                               size.x, size.y, size.z),
                            Severity::WARNING));
    }
    if (estimate) {
        estimate->boxes += 1;
        return;
    }
    world->intersector->addEntity(std::make_shared<AABox>(center, size, color));
}

void SceneReader::readModel() {
    startToken();
    std::streampos const nameStart = tokenStart;
    std::string name;
    *stream >> name;
    if (!name.empty() && name.back() == ',') {
        name.pop_back();
    } else {
        readSeparator();
    }
    raylib::Vector3 const position = readVector3();
    ModelOptions const options = readModelOptions();

    // The scene's own models folder first, then the game's.
    std::vector<std::string> places;
    if (!sceneFolder.empty()) places.push_back(sceneFolder + "/models/" + name + ".vox");
    places.push_back("assets/models/" + name + ".vox");
    std::string path = places.back();
    std::error_code unknown;
    for (auto place = places.rbegin(); place != places.rend(); ++place) {
        if (std::filesystem::exists(*place, unknown)) path = *place;
    }
    std::filesystem::path const named(name);
    bool const outside = named.is_absolute() || std::find(named.begin(), named.end(), "..") != named.end();
    if (estimate) {
        // A model's voxels take 4 bytes each of its file, and a solid one
        // collides with at most a box for each.
        uintmax_t const fileBytes = outside ? 0 : std::filesystem::file_size(path, unknown);
        size_t const counted = unknown ? 0 : static_cast<size_t>(fileBytes);
        if (!models || modelsCounted.insert(path).second) estimate->modelFileBytes += counted;
        if (options.solid) estimate->boxes += counted / 4;
        return;
    }
    auto const model = outside  ? std::make_shared<LoadedModel const>("")
                       : models ? models->get(path)
                                : std::make_shared<LoadedModel const>(path);
    if (!model->problem.empty() || !model->warning.empty()) {
        std::string why = model->problem.empty() ? model->warning : model->problem;
        if (outside) {
            why = "the model name " + printable(name) + " leaves the models folders: no absolute path, no ..";
        } else if (!std::filesystem::exists(path, unknown)) {
            why = "the model " + printable(name) +
                  (places.size() > 1 ? " is in neither " + places[0] + " nor " + places[1] : " is not in " + places[0]);
        }
        Severity const severity = model->problem.empty() ? Severity::WARNING : Severity::ERROR;
        if (onProblem) {
            onProblem(problemAt(nameStart, why, severity));
        } else {
            logLine("WARNING: " + why);
        }
    }
    auto const entity = std::make_shared<ModelEntity>(position, options.scale, path, model, options.solid);
    world->intersector->addEntity(entity);
    if (options.solid) world->intersector->addEntity(entity->solidBoxes());
}

SceneReader::ModelOptions SceneReader::readModelOptions() {
    ModelOptions options{MODEL_SCALE};
    for (*stream >> std::ws; stream->peek() == ','; *stream >> std::ws) {
        stream->get();
        startToken();
        std::string option;
        *stream >> option;
        if (option == "solid") {
            options.solid = true;
        } else if (option == "scale") {
            options.scale = readNumber();
            if (!(options.scale > 0 && options.scale <= MAX_MODEL_SCALE)) {
                throw std::runtime_error("Expected a scale above 0 and at most " +
                                         std::to_string(int(MAX_MODEL_SCALE)) + " but got " +
                                         printable(std::to_string(options.scale)));
            }
        } else {
            throw std::runtime_error("Expected scale or solid after a model's ',' but got " +
                                     (option.empty() ? std::string("end of file") : "\"" + printable(option) + "\""));
        }
    }
    return options;
}

void SceneReader::readVoxelsCloud(raylib::Vector3 voxelSize) {
    raylib::Vector3 const center = readVector3();
    readSeparator();
    raylib::Vector3 const extent = readVector3();
    readSeparator();
    float const density = readNumber();
    ColorScheme const colors = allColors;
    if (estimate) {
        estimate->boxes += static_cast<size_t>(cloudVoxelCount(extent, voxelSize, density));
        return;
    }
    AABB const keepClear = player ? player->getAABB() : nowhere();
    auto const voxels = world->generateValidVoxels(keepClear, center, extent, voxelSize, density, colors);
    world->intersector->addEntity(voxels);
}

void SceneReader::readMountain() {
    raylib::Vector3 const first = readVector3();
    readSeparator();
    raylib::Vector3 const second = readVector3();
    auto slabs = buildMountain(first, second);
    if (estimate) {
        estimate->boxes += slabs.size();
        return;
    }
    world->intersector->addEntity(std::move(slabs));
}

void SceneReader::startToken() {
    *stream >> std::ws;
    if (std::streampos const at = stream->tellg(); at != std::streampos(-1)) tokenStart = at;
}

// The line and column (both from 1) of a place in the stream, counted from
// its start; a good stream is left where it was, a failed one cleared.
SceneProblem SceneReader::problemAt(std::streampos at, std::string message, Severity severity) const {
    SceneProblem found{1, 1, std::move(message), severity};
    bool const good = stream->good();
    std::streampos const resume = stream->tellg();
    stream->clear();
    stream->seekg(0);
    char c;
    for (std::streamoff i = 0; i < at && stream->get(c); ++i) {
        found.line += c == '\n';
        found.column = c == '\n' ? 1 : found.column + 1;
        if (c == '\n') {
            found.lineText.clear();
        } else {
            found.lineText += c;
        }
    }
    std::string rest;
    std::getline(*stream, rest);
    found.lineText += rest;
    stream->clear();
    if (good) stream->seekg(resume);
    return found;
}

void SceneReader::skipToNextEntry() {
    stream->clear();
    stream->seekg(tokenStart);
    std::string line;
    std::getline(*stream, line);
    // An entry goes on over lines that are indented or start with a vector
    // or a number; the next one starts with a word at the start of a line.
    for (std::streampos start = stream->tellg(); std::getline(*stream, line); start = stream->tellg()) {
        if (!line.empty() && (std::isalpha(static_cast<unsigned char>(line[0])) || line[0] == '#')) {
            stream->clear();
            stream->seekg(start);
            return;
        }
    }
}

// Names the source and the line where the failed entry starts, so that a
// scene author can find the mistake.
void SceneReader::logWhere(std::streampos entryStart, std::string const& keyword) const {
    std::string where = "Scene error in " + sourceName;
    if (entryStart != std::streampos(-1)) {
        stream->clear();
        stream->seekg(0);
        int line = 1;
        char c;
        for (std::streamoff i = 0; i < entryStart && stream->get(c); ++i) line += c == '\n';
        if (stream) where += ", line " + std::to_string(line);
    }
    logLine(where + ", in the entry \"" + keyword.substr(0, 40) + "\"");
}
