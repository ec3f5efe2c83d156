#include "web-folder.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <vector>

#include "model-formats.h"

namespace fs = std::filesystem;

namespace {

bool hasWebFiles(fs::path const& folder) {
    std::error_code error;
    for (char const* name : WEB_FILES) {
        if (!fs::is_regular_file(folder / name, error)) return false;
    }
    return true;
}

// The model files (.vox and the other formats) under the models/ folder
// beside the scene, as paths
// relative to the scene's folder, in a stable order.
std::vector<fs::path> sceneModels(fs::path const& sceneFolder) {
    std::vector<fs::path> models;
    std::error_code error;
    if (!fs::is_directory(sceneFolder / "models", error)) return models;
    for (auto const& entry : fs::recursive_directory_iterator(sceneFolder / "models", error)) {
        if (entry.is_regular_file(error) && hasModelExtension(entry.path().filename().string())) {
            models.push_back(fs::relative(entry.path(), sceneFolder, error));
        }
    }
    std::sort(models.begin(), models.end());
    return models;
}

}  // namespace

fs::path webBuildFolder(fs::path const& assets) {
    for (fs::path const& folder : {assets / "build" / "web", assets / "web"}) {
        if (hasWebFiles(folder)) return folder;
    }
    return {};
}

std::string webOutputProblem(fs::path const& folder) {
    std::error_code error;
    if (!fs::exists(folder, error)) return "";
    if (!fs::is_directory(folder, error)) return "-o " + folder.string() + " is not a folder";
    if (fs::is_empty(folder, error) || fs::exists(folder / "tessarine.wasm", error)) return "";
    return "-o " + folder.string() + " holds other files: give a new or empty folder, or one this command wrote";
}

std::string jsonString(std::string const& text) {
    std::string json = "\"";
    for (unsigned char const c : text) {
        if (c == '"' || c == '\\') {
            json += '\\';
            json += static_cast<char>(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            json += escaped;
        } else {
            json += static_cast<char>(c);
        }
    }
    return json + "\"";
}

std::string writeWebFolder(fs::path const& webBuild, fs::path const& scene, fs::path const& folder) {
    if (scene.filename() == "files.json") return "a scene named files.json would be taken for the page's listing";
    std::error_code error;
    fs::path const sceneOut = folder / "scene";
    fs::remove_all(sceneOut, error);
    fs::create_directories(sceneOut, error);
    if (error) return "cannot make the folder " + sceneOut.string() + ": " + error.message();

    std::vector<std::pair<fs::path, fs::path>> copies;
    for (char const* name : WEB_FILES) copies.emplace_back(webBuild / name, folder / name);
    std::vector<fs::path> sceneFiles = {scene.filename()};
    for (fs::path const& model : sceneModels(scene.parent_path())) sceneFiles.push_back(model);
    for (fs::path const& file : sceneFiles) copies.emplace_back(scene.parent_path() / file, sceneOut / file);
    for (auto const& [from, to] : copies) {
        fs::create_directories(to.parent_path(), error);
        if (!error) fs::copy_file(from, to, fs::copy_options::overwrite_existing, error);
        if (error) return "cannot copy " + from.string() + " to " + to.string() + ": " + error.message();
    }

    std::ofstream listing(sceneOut / "files.json");
    listing << "{\"scene\": " << jsonString(scene.filename().string()) << ", \"files\": [";
    for (size_t i = 0; i < sceneFiles.size(); ++i) {
        listing << (i ? ", " : "") << jsonString(sceneFiles[i].generic_string());
    }
    listing << "]}\n";
    listing.close();
    if (!listing) return "cannot write " + (sceneOut / "files.json").string();
    return "";
}
