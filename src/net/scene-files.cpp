#include "scene-files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <algorithm>
#include <cstdlib>
#include <set>

#include "log-capture.h"
#include "model-formats.h"
#include "model-lookup.h"
#include "read-whole.h"
#include "scene-parser.h"
#include "vox-file.h"

namespace fs = std::filesystem;

namespace {

bool isPlainName(std::string const& part) {
    if (part.empty() || part.front() == '.') return false;
    return std::all_of(part.begin(), part.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
               c == '.';
    });
}

// The file's bytes; none when it cannot be read whole.
std::optional<std::string> fileText(std::string const& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open()) return std::nullopt;
    return readRest(in);
}

Problem sendingProblem(std::string const& file, std::string const& message) {
    return {.file = file, .message = message, .severity = Severity::FATAL};
}

// The model files the scene's model entries read, each once, under the
// path the client finds them at.
void addModelFiles(ServedScene& served, std::string const& text, std::string const& path,
                   std::string const& assetRoot) {
    SceneDescription const description = readSceneDescription(text, path);
    fs::path const folder = fs::path(path).parent_path();
    ModelPlaces const places{(folder.empty() ? fs::path(".") : folder).string(), assetRoot};
    std::set<std::string> sent;
    for (SceneEntry const& entry : description.entries) {
        auto const* model = std::get_if<ModelEntry>(&entry.fields);
        if (!model) continue;
        ModelLookup const lookup = lookUpModel(model->name, places);
        if (!lookup.found || lookup.outside) continue;  // the check has said so
        std::string const sentPath = "models/" + model->name +
                                     (hasModelExtension(model->name) ? "" : fs::path(lookup.path).extension().string());
        if (!sent.insert(sentPath).second) continue;
        if (!isSafeScenePath(sentPath)) {
            served.load.problems.push_back(sendingProblem(
                path, "the model " + printable(model->name) +
                          " cannot be sent to players: a model's name is letters, digits, '-', '_' and '.'"));
            continue;
        }
        std::optional<std::string> const bytes = fileText(lookup.path);
        if (!bytes || bytes->size() > MAX_VOX_FILE_BYTES) {
            served.load.problems.push_back(sendingProblem(lookup.path, "the model file cannot be read to be sent"));
            continue;
        }
        served.files.push_back({sentPath, {bytes->begin(), bytes->end()}});
    }
}

}  // namespace

uint64_t ServedScene::bytes() const {
    uint64_t total = 0;
    for (SceneFile const& file : files) total += file.bytes.size();
    return total;
}

ServedScene readServedScene(std::string const& path, std::string const& assetRoot) {
    // The models' own log lines would only repeat what the problems say.
    std::optional<LogCapture> quiet(std::in_place);
    ServedScene served{loadWorld(path, std::make_shared<Player>(), {.assetRoot = assetRoot}), {}};
    quiet.reset();
    if (served.load.hasErrors()) return served;
    std::optional<std::string> const text = fileText(path);
    if (!text || text->size() > MAX_SCENE_TEXT_BYTES) {
        served.load.problems.push_back(
            sendingProblem(path, "the scene file cannot be read whole to be sent, or is too large"));
        return served;
    }
    served.files.push_back({SCENE_FILE_NAME, {text->begin(), text->end()}});
    addModelFiles(served, *text, path, assetRoot);
    if (served.load.hasErrors() || served.files.size() > MAX_SCENE_FILES || served.bytes() > MAX_SCENE_BYTES) {
        if (!served.load.hasErrors()) {
            served.load.problems.push_back(sendingProblem(path, "the scene and its models are too large to be sent"));
        }
        served.files.clear();
    }
    return served;
}

bool isSafeScenePath(std::string const& path) {
    if (path == SCENE_FILE_NAME) return true;
    if (path.size() > MAX_FILE_PATH_BYTES || !path.starts_with("models/") || !hasModelExtension(path)) return false;
    int depth = 0;
    for (size_t start = 0; start <= path.size();) {
        size_t const end = std::min(path.find('/', start), path.size());
        if (!isPlainName(path.substr(start, end - start)) || ++depth > 8) return false;
        start = end + 1;
    }
    return true;
}

std::string SceneReceiver::begin(SceneStart const& start) {
    if (start.files == 0 || start.files > MAX_SCENE_FILES) return "the server's scene has no files, or too many";
    if (start.bytes > MAX_SCENE_BYTES) {
        return "the server's scene is " + std::to_string(start.bytes >> 20) + " MiB, more than a game takes (" +
               std::to_string(MAX_SCENE_BYTES >> 20) + " MiB)";
    }
    file.close();
    std::error_code error;
    fs::remove_all(folder / "incoming", error);
    if (!fs::create_directories(folder / "incoming", error) && error) {
        return "cannot write the scene into " + folder.string() + ": " + error.message();
    }
    receiving = true;
    filesTotal = start.files;
    bytesTotal = start.bytes;
    filesStarted = 0;
    bytesReceived = bytesAnnounced = fileLeft = 0;
    paths.clear();
    return "";
}

std::string SceneReceiver::beginFile(FileStart const& start) {
    if (!receiving || fileLeft != 0 || filesStarted == filesTotal) return "the server sent a file out of turn";
    if (!isSafeScenePath(start.path)) return "the server sent a file of a path a scene cannot have";
    if (std::find(paths.begin(), paths.end(), start.path) != paths.end()) return "the server sent a file twice";
    uint64_t const limit = start.path == SCENE_FILE_NAME ? MAX_SCENE_TEXT_BYTES : MAX_VOX_FILE_BYTES;
    if (start.size > limit || start.size > bytesTotal - bytesAnnounced) {
        return "the server sent a file larger than it announced, or than a scene's files may be";
    }
    file.close();
    fs::path const target = folder / "incoming" / start.path;
    std::error_code error;
    fs::create_directories(target.parent_path(), error);
    file.open(target, std::ios::binary | std::ios::trunc);
    if (!file) return "cannot write the scene's file " + target.string();
    paths.push_back(start.path);
    ++filesStarted;
    bytesAnnounced += start.size;
    fileLeft = start.size;
    return "";
}

std::string SceneReceiver::add(FilePart const& part) {
    if (!receiving || part.bytes.size() > fileLeft || part.bytes.empty())
        return "the server sent more than a file holds";
    file.write(reinterpret_cast<char const*>(part.bytes.data()), static_cast<std::streamsize>(part.bytes.size()));
    if (!file) return "cannot write the scene's files into " + folder.string() + " (is the disk full?)";
    fileLeft -= part.bytes.size();
    bytesReceived += part.bytes.size();
    return "";
}

std::string SceneReceiver::finish() {
    bool const whole = receiving && fileLeft == 0 && filesStarted == filesTotal && bytesReceived == bytesTotal &&
                       std::find(paths.begin(), paths.end(), SCENE_FILE_NAME) != paths.end();
    if (!whole) return "the server ended the scene before its files were whole";
    file.close();
    if (!file) return "cannot write the scene's files into " + folder.string();
    receiving = false;
    // The new set takes the old one's place in one step; then the old goes.
    std::error_code error;
    fs::remove_all(folder / "previous", error);
    fs::rename(folder / "scene", folder / "previous", error);
    fs::rename(folder / "incoming", folder / "scene", error);
    if (error) return "cannot write the scene's files into " + folder.string() + ": " + error.message();
    fs::remove_all(folder / "previous", error);
    return "";
}

fs::path cacheFolder() {
    char const* cache = std::getenv("XDG_CACHE_HOME");
    if (cache && *cache == '/') return cache;
    char const* home = std::getenv("HOME");
    return fs::path(home && *home ? home : "/tmp") / ".cache";
}

std::unique_ptr<JoinedFolder> JoinedFolder::claim(std::string const& server, std::string& problem) {
    // HOST-PORT in plain characters, never hidden.
    std::string name;
    for (char const c : server) name += isPlainName(std::string("x") + c) ? c : '-';
    if (name.empty() || name.front() == '.') name = "server" + name;
    fs::path const joined = cacheFolder() / "tessarine" / "joined";
    for (int copy = 1; copy <= 16; ++copy) {
        fs::path const folder = joined / (copy == 1 ? name : name + "-" + std::to_string(copy));
        std::error_code error;
        fs::create_directories(folder, error);
        int const lock = ::open((folder / "lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (lock < 0) {
            problem = "cannot keep the server's scene in " + folder.string();
            return nullptr;
        }
        if (flock(lock, LOCK_EX | LOCK_NB) == 0) return std::unique_ptr<JoinedFolder>(new JoinedFolder(folder, lock));
        ::close(lock);
    }
    problem = "cannot keep the server's scene in " + joined.string() + ": sixteen games are joined to it already";
    return nullptr;
}

JoinedFolder::~JoinedFolder() {
    ::close(lock);
}
