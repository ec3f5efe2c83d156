#pragma once

#include <cstddef>
#include <string>

// What a scene will take of memory once it is built and drawn, counted
// from its entries before anything is built.
struct MemoryEstimate {
    // The boxes of its rects, clouds and mountains.
    size_t boxes = 0;
    // The sizes of the model files it reads (each once when models are
    // shared), on which a model's memory depends.
    size_t modelFileBytes = 0;

    // The bytes of memory all of it takes, as measured for the largest
    // worlds: the collision index, the faces drawn and the models.
    size_t bytes() const;
};

// The bytes of memory the process may still take: what the system has
// available, or less when its control group's limit is nearer; 0 when
// neither can be read. In a browser, the room left for the page to grow.
size_t availableMemory();

// The memory this process's control group may still take, or 0 when it has
// no limit: the group is version 2's "0::/path" or version 1's
// "N:memory:/path" in the groups file (/proc/self/cgroup), its limit and use
// in files under root (/sys/fs/cgroup).
size_t cgroupRoom(std::string const& groupsFile, std::string const& root);

// "1.4 GB" (10^9 bytes, to a tenth) or, below a gigabyte, "350 MB".
std::string memorySize(size_t bytes);
