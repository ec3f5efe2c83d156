#pragma once

#include <optional>
#include <string>

// A password kept in a file, never on a command line, where every user of
// the machine could read it: the file's first line, without its line
// ending. None, with the problem said, when the file cannot be read, or its
// first line is empty or longer than a password may be.
std::optional<std::string> readPasswordFile(std::string const& path, std::string& problem);
