#include "asset-folder.h"

#include <vector>

namespace fs = std::filesystem;

fs::path assetFolder() {
    std::error_code error;
    if (fs::is_directory("assets", error)) return fs::current_path(error);
    fs::path const program = fs::read_symlink("/proc/self/exe", error);
    fs::path const installed = program.parent_path() / "../share/tessarine";
    if (!error && fs::is_directory(installed / "assets", error)) return fs::canonical(installed, error);
    // The game or its tool where the build tree has them, not a copy
    // installed from it.
    for (fs::path const& built : std::vector<fs::path>{TESSARINE_BUILT_PROGRAMS}) {
        if (fs::equivalent(program, built, error)) return TESSARINE_PROJECT_DIR;
    }
    return {};
}

std::string assetRootOf(fs::path const& folder) {
    std::error_code error;
    return fs::equivalent(folder, fs::current_path(error), error) ? "" : folder.string();
}
