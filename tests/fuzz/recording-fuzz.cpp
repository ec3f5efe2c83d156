// Fuzz target: reading a recording. Every input must give a recording or
// say what is wrong with it; never a crash, a hang or unbounded memory.
#include <cstdint>
#include <sstream>
#include <string>

#include "recording.h"

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, size_t size) {
    std::istringstream in(std::string(reinterpret_cast<char const*>(data), size));
    auto const recording = readRecording(in);
    if (!recording && recording.problem().message.empty()) __builtin_trap();
    return 0;
}
