#include "available-memory.h"

#include <algorithm>
#include <fstream>

#ifdef __EMSCRIPTEN__
#include <emscripten/heap.h>
#endif

namespace {

#ifndef __EMSCRIPTEN__
// The value of a "Name: value kB" line of /proc/meminfo, in bytes.
size_t memInfoBytes(std::string const& name) {
    std::ifstream info("/proc/meminfo");
    std::string key;
    size_t kilobytes = 0;
    while (info >> key >> kilobytes) {
        if (key == name + ":") return kilobytes * 1024;
        info.ignore(1024, '\n');
    }
    return 0;
}
#endif

// A number of bytes from a file, or 0 ("max", or no file).
size_t bytesIn(std::string const& path) {
    std::ifstream file(path);
    size_t bytes = 0;
    return file >> bytes ? bytes : 0;
}

}  // namespace

size_t cgroupRoom(std::string const& groupsFile, std::string const& root) {
    std::ifstream groups(groupsFile);
    std::string line;
    while (std::getline(groups, line)) {
        size_t limit = 0, used = 0;
        if (line.rfind("0::", 0) == 0) {
            std::string const folder = root + line.substr(3);
            limit = bytesIn(folder + "/memory.max");
            used = bytesIn(folder + "/memory.current");
        } else if (size_t const at = line.find(":memory:"); at != std::string::npos) {
            std::string const folder = root + "/memory" + line.substr(at + 8);
            limit = bytesIn(folder + "/memory.limit_in_bytes");
            used = bytesIn(folder + "/memory.usage_in_bytes");
        }
        if (limit > 0) return limit > used ? limit - used : 1;
    }
    return 0;
}

size_t availableMemory() {
#ifdef __EMSCRIPTEN__
    // A page's memory grows up to a fixed maximum, whatever the machine has.
    return emscripten_get_heap_max() - emscripten_get_heap_size();
#else
    size_t const available = memInfoBytes("MemAvailable");
    size_t const room = cgroupRoom("/proc/self/cgroup", "/sys/fs/cgroup");
    if (available == 0 || room == 0) return std::max(available, room);
    return std::min(available, room);
#endif
}
