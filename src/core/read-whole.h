#pragma once

#include <istream>
#include <optional>
#include <string>

// The rest of a stream's bytes; none when the system refuses a read midway
// (an input/output error), which the standard library may throw as an
// exception past the stream.
std::optional<std::string> readRest(std::istream& in);
