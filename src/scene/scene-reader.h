#pragma once

#include <atomic>
#include <exception>
#include <functional>
#include <istream>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "memory-estimate.h"
#include "model-loader.h"
#include "player.h"
#include "world.h"

// The kinds of entry of a scene file.
enum ObjectType { COMMENT = 0, RECT = 1, MODEL = 2, VOXELS_CLOUD = 3, VOXELS_CLOUD_HUGE = 4, MOUNTAIN = 5 };

// Entry keywords, compared byte by byte.
extern std::map<std::string, ObjectType> const objectTypeMapper;
// The colour words of rectangles, case-sensitive.
extern std::map<std::string, raylib::Color> const colorMapper;

// How bad a problem of a scene is: a fatal one keeps the scene from being
// played; an error leaves it playable without what it names (a model that
// is missing or refused); a warning is of a scene that plays as written but
// hardly as meant (a box of no size, nothing to stand on).
enum class Severity { FATAL, ERROR, WARNING };

// Where a problem of a scene file stands, and what it is.
struct SceneProblem {
    int line = 0, column = 0;  // 0: of the file as a whole
    std::string message;
    Severity severity = Severity::FATAL;
    // The text of the line it stands on, as read.
    std::string lineText{};
    // What the author may have meant, for the commonest slips; often empty.
    std::string hint{};
};

// "FILE:LINE:COLUMN: error: message" ("warning:" for a warning), as
// compilers write a problem.
std::string describeProblem(std::string const& sourceName, SceneProblem const& problem);
// The same, then its line with a caret under the column, and the hint when
// there is one, each on a line of its own.
std::string describeWithLine(std::string const& sourceName, SceneProblem const& problem);

// The text with every byte that does not print (control characters but the
// tab, bytes that are not UTF-8) written as \xHH, so that it can go to a
// terminal.
std::string printable(std::string const& text);

// What the exception in flight says, whether it was raised by value or, as
// the scene reader raises most, by pointer (which is deleted).
std::string reasonOfCurrentException();

// How far a reading has come, for a screen drawn by another thread; stop
// asks the reading to end after the entry it is in.
struct LoadProgress {
    std::atomic<size_t> bytesRead{0}, bytesTotal{0}, entries{0};
    std::atomic<bool> stop{false};
};

// Reads a scene file entry by entry into the world's collision index.
//
// A scene file is a sequence of whitespace-separated entries, each starting
// with a keyword; a vector is written (x, y, z). Every error is logged to
// std::clog, followed by a line naming the source and the line of the entry,
// and raised: a malformed vector as std::exception*, a type without a reader
// as std::invalid_argument*, an unreadable number or an entry cut short as
// std::runtime_error*, an unknown colour word as std::out_of_range.
class SceneReader {
public:
    // sourceName names the stream in error reports (the file's path).
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
    // When set, models are taken from it, each file read once; otherwise
    // every model entry reads its file.
    ModelCache* models = nullptr;
    // The folder of the scene file, whose models/ folder holds the models
    // the scene names, before the game's own; empty when there is none.
    std::string sceneFolder;

    // When set, the reader checks the scene instead: every problem is handed
    // here, nothing is raised or logged, and the reading goes on at the next
    // line that starts with a word; models that are missing or refused are
    // problems too.
    std::function<void(SceneProblem const&)> onProblem;
    // When set, called after every entry with its kind and the number of
    // entities it added.
    std::function<void(ObjectType, int)> onEntry;
    // When set, kept up to date after every entry; a stop asked for ends the
    // reading as an unknown keyword does.
    LoadProgress* progress = nullptr;
    // When set, the reader counts into it what each entry would build,
    // building nothing; when the scene would need more than memoryLimit
    // bytes, that is a problem at the first entry that passes them, and
    // the reading returns an empty pointer.
    MemoryEstimate* estimate = nullptr;
    size_t memoryLimit = SIZE_MAX;
    // The problem that ended the last reading, when one did.
    SceneProblem problem;

private:
    // What may follow a model's position: ", scale S" and ", solid".
    struct ModelOptions {
        float scale;
        bool solid = false;
    };
    ModelOptions readModelOptions();
    float readNumber();
    char readSeparator();
    // Skips whitespace and notes where the next token starts, for problems.
    void startToken();
    SceneProblem problemAt(std::streampos at, std::string message, Severity severity = Severity::FATAL) const;
    // Notes a slip at a place of the entry being read, which becomes the
    // hint of a problem that follows it in the entry (the first one noted):
    // the hint's %d is the place's column.
    void noteSlip(std::streampos at, char const* hint);
    std::string slipHint() const;
    void logWhere(std::streampos entryStart, std::string const& keyword) const;
    // After a problem: on to the next line that starts with a keyword.
    void skipToNextEntry();

    std::streampos tokenStart = 0;
    std::optional<std::pair<std::streampos, char const*>> slip;
    // The model files counted into the estimate, when models are shared.
    std::set<std::string> modelsCounted;
};
