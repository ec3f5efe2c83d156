#include "asset-path.h"
#include "raylib-api.h"
#include "window-identity.h"

void setWindowIcon(std::string const& assetRoot) {
    raylib::Image const icon = raylib::LoadImage(assetPath(assetRoot, ICON_PATH).c_str());
    if (icon.data != nullptr) raylib::SetWindowIcon(icon);
    raylib::UnloadImage(icon);
}
