#include "browser-page.h"

#include <emscripten.h>

#include "join-server.h"
#include "window-identity.h"

namespace {

// The JavaScript below is laid out by hand: clang-format would break it.
// clang-format off

// The page's localStorage holds each kept file under its path.
EM_JS(void, restoreFromStorage, (char const* path), {
    const name = UTF8ToString(path);
    const text = window.localStorage.getItem("tessarine:" + name);
    if (text === null) return;
    FS.mkdirTree(name.substring(0, name.lastIndexOf("/")));
    FS.writeFile(name, text);
});

EM_JS(void, keepInStorage, (char const* path), {
    const name = UTF8ToString(path);
    try {
        window.localStorage.setItem("tessarine:" + name, FS.readFile(name, {encoding: "utf8"}));
    } catch (e) {
        console.warn("tessarine: " + name + " not kept: " + e);
    }
});

EM_JS(void, offerDownload, (char const* path), {
    const name = UTF8ToString(path);
    const link = document.createElement("a");
    link.href = URL.createObjectURL(new Blob([FS.readFile(name)], {type: "image/png"}));
    link.download = name.substring(name.lastIndexOf("/") + 1);
    link.click();
    setTimeout(() => URL.revokeObjectURL(link.href), 10000);
});

// window.tessarine, which the page and its tests read.
EM_JS(void, frameShown, (float x, float y, float z), {
    const game = window.tessarine || (window.tessarine = {frames: 0});
    game.frames += 1;
    game.position = [x, y, z];
    if (game.onFrame) game.onFrame();
});

EM_JS(int, pageWidth, (), { return window.innerWidth; });
EM_JS(int, pageHeight, (), { return window.innerHeight; });

// clang-format on

}  // namespace

void restoreKeptFile(std::string const& path) {
    restoreFromStorage(path.c_str());
}

void keepFile(std::string const& path) {
    keepInStorage(path.c_str());
}

void downloadFile(std::string const& path) {
    offerDownload(path.c_str());
}

void reportFrame(raylib::Vector3 position) {
    frameShown(position.x, position.y, position.z);
}

void fitCanvasToPage() {
    int const width = pageWidth(), height = pageHeight();
    if (width > 0 && height > 0 && (width != raylib::GetScreenWidth() || height != raylib::GetScreenHeight()))
        raylib::SetWindowSize(width, height);
}

// A canvas has no window class to set.
void setWindowClass() {}

Joined joinServer(JoinRequest const&, LoadingScreen&, std::string& problem) {
    problem = "joining a server is not available in the browser";
    return {};
}
