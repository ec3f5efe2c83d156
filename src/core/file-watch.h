#pragma once

#include <memory>
#include <string>
#include <vector>

// Tells when any of a few files has been saved, created, moved or removed,
// by watching the folders that hold them: an editor that saves by writing a
// new file and renaming it over the old one is seen as well. Where the
// system cannot watch (a browser, a folder that does not exist), nothing is
// ever seen.
class FileWatch {
public:
    explicit FileWatch(std::vector<std::string> const& files);
    ~FileWatch();
    FileWatch(FileWatch const&) = delete;
    FileWatch& operator=(FileWatch const&) = delete;

    // Whether any of the files has changed since the last call; never waits.
    bool changed();
    // Whether any of the folders is watched.
    bool watching() const { return !folders.empty(); }

private:
    struct Folder {
        int watch;
        std::vector<std::string> names;
    };
    int descriptor = -1;
    std::vector<Folder> folders;
};

// How long after the last save seen the scene is read again: an editor may
// write a file in steps, or several files in turn.
inline constexpr double SAVE_SETTLING_SECONDS = 0.25;

// Watches the files a scene was read from and tells when their saves have
// settled.
class SaveWatch {
public:
    // Watching the files, or nothing when not on.
    void watch(std::vector<std::string> const& files, bool on);
    // Whether a save seen has settled by now, in seconds of a steady clock.
    bool settled(double now);
    bool watching() const { return files && files->watching(); }

private:
    std::unique_ptr<FileWatch> files;
    double due = -1;
};
