#include "pictures-folder.h"

#include <cstdlib>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string environment(char const* name) {
    char const* value = std::getenv(name);
    return value ? value : "";
}

// XDG_PICTURES_DIR as user-dirs.dirs sets it: XDG_PICTURES_DIR="$HOME/Pictures".
std::string picturesInUserDirs(std::string const& home) {
    std::string config = environment("XDG_CONFIG_HOME");
    if (config.empty()) config = home + "/.config";
    std::ifstream dirs(config + "/user-dirs.dirs");
    for (std::string line; std::getline(dirs, line);) {
        std::string const key = "XDG_PICTURES_DIR=\"";
        if (line.rfind(key, 0) != 0 || line.back() != '"') continue;
        std::string value = line.substr(key.size(), line.size() - key.size() - 1);
        if (value.rfind("$HOME", 0) == 0) value = home + value.substr(5);
        return value;
    }
    return "";
}

}  // namespace

fs::path picturesFolder() {
    std::string const home = environment("HOME");
    std::error_code error;
    for (std::string const& folder : {environment("XDG_PICTURES_DIR"), picturesInUserDirs(home)}) {
        if (!folder.empty() && fs::is_directory(folder, error)) return folder;
    }
    return home.empty() ? fs::current_path(error) : fs::path(home);
}

fs::path screenshotPath(fs::path const& folder, std::time_t now) {
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d-%H-%M-%S", std::localtime(&now));
    std::error_code error;
    fs::path path = folder / (std::string("tessarine-") + stamp + ".png");
    for (int n = 2; fs::exists(path, error); ++n) {
        path = folder / (std::string("tessarine-") + stamp + "-" + std::to_string(n) + ".png");
    }
    return path;
}
