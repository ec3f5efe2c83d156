#include "scene-reader.h"

#include <iostream>
#include <iterator>
#include <stdexcept>

#include "read-whole.h"
#include "scene-builder.h"

namespace {

void logLine(std::string const& line) {
    std::clog << line << std::endl;
}

// Logs the message and raises it, for failures of the stream itself.
[[noreturn]] void fail(std::string const& message) {
    logLine(message);
    throw new std::runtime_error(message);
}

}  // namespace

SceneReader::SceneReader(std::shared_ptr<Player> player, std::istream* stream, std::shared_ptr<World> world,
                         std::string sourceName)
    : player(std::move(player)), stream(stream), world(std::move(world)), sourceName(std::move(sourceName)) {}

SceneTokens& SceneReader::tokens() {
    if (reading) return *reading;
    if (stream->fail()) fail("Scene reading stopped: " + sourceName + " could not be read");
    std::optional<std::string> read = readRest(*stream);
    if (!read) fail("Scene reading stopped: " + sourceName + " could not be read");
    text = std::move(*read);
    return reading.emplace(text);
}

std::shared_ptr<World> SceneReader::readScene() {
    SceneTokens& from = tokens();
    while (from.more()) {
        size_t const entryStart = from.offset();
        std::string const word = from.word();
        auto const type = objectTypeMapper.find(word);
        if (type == objectTypeMapper.end()) {
            logLine(unknownKeywordMessage(word));
            logWhere(entryStart, word);
            return nullptr;
        }
        try {
            readObjectDetails(type->second);
        } catch (...) {
            logWhere(entryStart, word);
            throw;
        }
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
        case SUN:
        case SKY:
        case FOG:
        case START: build(readEntryFields(type, tokens())); break;
        default:
            logLine("Object parsing not implemented: " + std::to_string(static_cast<int>(type)));
            throw new std::invalid_argument("Object parsing not implemented!");
    }
}

void SceneReader::readComment() {
    readEntryFields(COMMENT, tokens());
}

raylib::Vector3 SceneReader::readVector3() {
    raylib::Vector3 const v = tokens().vector();
    raiseFailure();
    return v;
}

void SceneReader::readRect() {
    build(readEntryFields(RECT, tokens()));
}

void SceneReader::readModel() {
    build(readEntryFields(MODEL, tokens()));
}

void SceneReader::readVoxelsCloud(raylib::Vector3 voxelSize) {
    std::optional<EntryFields> fields = readEntryFields(VOXELS_CLOUD, tokens());
    if (fields) std::get<CloudEntry>(*fields).voxelSize = voxelSize;
    build(std::move(fields));
}

void SceneReader::readMountain() {
    build(readEntryFields(MOUNTAIN, tokens()));
}

void SceneReader::raiseFailure() {
    if (!reading || !reading->failure()) return;
    SceneTokens::Failure const failure = *reading->failure();
    reading->clearFailure();
    switch (failure.kind) {
        case TokenFailure::NO_OPENING: logLine(failure.message); throw new std::exception();
        case TokenFailure::UNREADABLE: fail(failure.message);
        case TokenFailure::BAD_COLOUR: throw std::out_of_range("map::at");
        case TokenFailure::BAD_OPTION: throw std::runtime_error(failure.message);
    }
}

void SceneReader::build(std::optional<EntryFields> fields) {
    raiseFailure();
    SceneEntry const entry{.fields = std::move(*fields)};
    SceneBuild const build{keepClearFor(player.get())};
    if (std::optional<Problem> const problem = buildEntry(entry, *world, build))
        logLine("WARNING: " + problem->message);
}

// Names the source and the line where the failed entry starts, so that a
// scene author can find the mistake.
void SceneReader::logWhere(size_t entryStart, std::string const& keyword) {
    logLine("Scene error in " + sourceName + ", line " + std::to_string(tokens().placeOf(entryStart).line) +
            ", in the entry \"" + keyword.substr(0, 40) + "\"");
}
