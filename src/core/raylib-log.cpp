#include "raylib-log.h"

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "raylib-api.h"

namespace {

// The routing's settings and what it has shown, for raylib's callback,
// which gets no context of its own.
struct Route {
    bool verbose = false;
    bool holding = false;
    std::vector<std::string> held;
    std::set<std::string> shown;
};
Route route;

// The program's own lines go to standard output, raylib's warnings and
// errors to standard error.
void show(std::string const& line) {
    if (line.rfind("INFO: ", 0) == 0) {
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
        return;
    }
    if (!route.shown.insert(line).second) return;
    std::fprintf(stderr, "%s\n", line.c_str());
}

void logLine(int level, char const* format, va_list args) {
    char text[1024];
    std::vsnprintf(text, sizeof text, format, args);
    if (level < raylib::LOG_WARNING && !route.verbose && std::string(text) != "Initialization") return;
    char const* const label = level < raylib::LOG_WARNING    ? "INFO: "
                              : level == raylib::LOG_WARNING ? "WARNING: "
                                                             : "ERROR: ";
    std::string const line = label + std::string(text);
    if (route.holding) {
        route.held.push_back(line);
    } else {
        show(line);
    }
}

}  // namespace

void routeRaylibLog(bool verbose) {
    route.verbose = verbose;
    raylib::SetTraceLogLevel(raylib::LOG_ALL);
    raylib::SetTraceLogCallback(logLine);
}

void holdRaylibLog() {
    route.holding = true;
}

void releaseRaylibLog(bool showHeld) {
    route.holding = false;
    if (showHeld || route.verbose) {
        for (std::string const& line : route.held) show(line);
    }
    route.held.clear();
}
