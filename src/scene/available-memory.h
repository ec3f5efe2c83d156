#pragma once

#include <cstddef>
#include <string>

// The bytes of memory the process may still take: what the system has
// available, or less when its control group's limit is nearer; 0 when
// neither can be read. In a browser, the room left for the page to grow.
size_t availableMemory();

// The memory this process's control group may still take, or 0 when it has
// no limit: the group is version 2's "0::/path" or version 1's
// "N:memory:/path" in the groups file (/proc/self/cgroup), its limit and use
// in files under root (/sys/fs/cgroup).
size_t cgroupRoom(std::string const& groupsFile, std::string const& root);
