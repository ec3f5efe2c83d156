#pragma once

#include <istream>
#include <memory>
#include <optional>
#include <string>

#include "player.h"
#include "scene-description.h"
#include "scene-parser.h"
#include "scene-tokens.h"
#include "world.h"

// Reads a scene file entry by entry into the world's collision index, and
// stops at the first error: the way the game read scenes before it checked
// them (loadWorld reads them now).
//
// Every error is logged to std::clog, followed by a line naming the source
// and the line of the entry, and raised: a malformed vector as
// std::exception*, a type without a reader as std::invalid_argument*, an
// unreadable number or an entry cut short as std::runtime_error*, an
// unknown colour word as std::out_of_range, a model's options as
// std::runtime_error.
class SceneReader {
public:
    // sourceName names the stream in error reports (the file's path). The
    // reader reads the stream from where it stands, to its end, at its
    // first read.
    SceneReader(std::shared_ptr<Player> player, std::istream* stream, std::shared_ptr<World> world,
                std::string sourceName = "scene");

    // Reads every entry up to the end of the stream; returns the world, or an
    // empty pointer after a keyword that is not in objectTypeMapper.
    std::shared_ptr<World> readScene();
    void readObjectDetails(ObjectType type);

    void readComment();
    raylib::Vector3 readVector3();
    void readRect();
    void readModel();
    void readVoxelsCloud(raylib::Vector3 voxelSize);
    void readMountain();

    std::shared_ptr<Player> player;
    std::istream* stream;
    std::shared_ptr<World> world;
    std::string sourceName;

private:
    SceneTokens& tokens();
    // Raises the failure of the last read, if there was one, as this reader
    // raises each kind.
    void raiseFailure();
    void build(std::optional<EntryFields> fields);
    void logWhere(size_t entryStart, std::string const& keyword);

    std::string text;
    std::optional<SceneTokens> reading;
};
