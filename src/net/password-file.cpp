#include "password-file.h"

#include <fstream>

#include "protocol.h"

std::optional<std::string> readPasswordFile(std::string const& path, std::string& problem) {
    std::ifstream file(path);
    std::string line;
    if (!file || !std::getline(file, line)) return problem = "cannot read the password file " + path, std::nullopt;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) return problem = "the password file " + path + " has an empty first line", std::nullopt;
    if (line.size() > MAX_PASSWORD_BYTES) {
        problem = "the password in " + path + " is longer than " + std::to_string(MAX_PASSWORD_BYTES) + " bytes";
        return std::nullopt;
    }
    return line;
}
