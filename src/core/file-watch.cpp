#include "file-watch.h"

#include <algorithm>
#include <filesystem>

#if defined(__linux__) && !defined(__EMSCRIPTEN__)
#include <sys/inotify.h>
#include <unistd.h>

#include <climits>
#define TESSARINE_INOTIFY 1
#endif

namespace fs = std::filesystem;

#ifdef TESSARINE_INOTIFY

namespace {

constexpr uint32_t SAVES = IN_CLOSE_WRITE | IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;

}  // namespace

FileWatch::FileWatch(std::vector<std::string> const& files) {
    descriptor = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (descriptor < 0) return;
    for (std::string const& file : files) {
        fs::path const path(file);
        std::string const folder = path.has_parent_path() ? path.parent_path().string() : ".";
        int const watch = inotify_add_watch(descriptor, folder.c_str(), SAVES | IN_ONLYDIR);
        if (watch < 0) continue;
        auto known = std::find_if(folders.begin(), folders.end(), [&](Folder const& f) { return f.watch == watch; });
        if (known == folders.end()) known = folders.insert(folders.end(), Folder{watch, {}});
        known->names.push_back(path.filename().string());
    }
}

FileWatch::~FileWatch() {
    if (descriptor >= 0) close(descriptor);
}

bool FileWatch::changed() {
    if (descriptor < 0) return false;
    bool seen = false;
    alignas(inotify_event) char buffer[16 * (sizeof(inotify_event) + NAME_MAX + 1)];
    for (ssize_t length; (length = read(descriptor, buffer, sizeof buffer)) > 0;) {
        for (char const* at = buffer; at < buffer + length;) {
            auto const* event = reinterpret_cast<inotify_event const*>(at);
            at += sizeof(inotify_event) + event->len;
            if (event->len == 0) continue;
            std::string const name = event->name;
            for (Folder const& folder : folders) {
                if (folder.watch != event->wd) continue;
                seen |= std::find(folder.names.begin(), folder.names.end(), name) != folder.names.end();
            }
        }
    }
    return seen;
}

#else

FileWatch::FileWatch(std::vector<std::string> const&) {}
FileWatch::~FileWatch() = default;
// Without a watch nothing is ever seen.
bool FileWatch::changed() {
    return descriptor >= 0;
}

#endif

void SaveWatch::watch(std::vector<std::string> const& watched, bool on) {
    files = on && !watched.empty() ? std::make_unique<FileWatch>(watched) : nullptr;
    due = -1;
}

bool SaveWatch::settled(double now) {
    if (!files) return false;
    if (files->changed()) due = now + SAVE_SETTLING_SECONDS;
    if (due < 0 || now < due) return false;
    due = -1;
    return true;
}
