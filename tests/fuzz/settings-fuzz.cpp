// Fuzz target: reading a settings file. Every input must give settings (its
// defaults at worst) and, once written back, a file that reads the same,
// without a warning but for the keys kept as they were.
#include <cstdint>
#include <string>

#include "settings-file.h"

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, size_t size) {
    SettingsRead const read = readSettings(std::string(reinterpret_cast<char const*>(data), size), "fuzz");
    SettingsRead const again = readSettings(settingsText(read.settings, read.unknown), "again");
    if (again.unreadable || !(again.settings == read.settings) || again.unknown != read.unknown) __builtin_trap();
    return 0;
}
