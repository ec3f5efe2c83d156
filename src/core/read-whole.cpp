#include "read-whole.h"

#include <iterator>

std::optional<std::string> readRest(std::istream& in) {
    try {
        std::string text(std::istreambuf_iterator<char>(in), {});
        if (in.bad()) return std::nullopt;
        return text;
    } catch (std::exception const&) {
        return std::nullopt;
    }
}
