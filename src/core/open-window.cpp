#include "open-window.h"

#include "raylib-api.h"
#include "raylib-log.h"

bool openWindow(int width, int height, char const* title, unsigned flags) {
    holdRaylibLog();
    raylib::SetConfigFlags(flags);
    raylib::InitWindow(width, height, title);
    bool const opened = raylib::IsWindowReady();
    releaseRaylibLog(opened);
    return opened;
}
