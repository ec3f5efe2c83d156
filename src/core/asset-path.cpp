#include "asset-path.h"

#include <filesystem>

std::string assetPath(std::string const& root, std::string const& relative) {
    std::filesystem::path const path(relative);
    if (root.empty() || path.is_absolute()) return relative;
    return (std::filesystem::path(root) / path).string();
}
