#pragma once

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
