#include "problem.h"

#include <algorithm>
#include <cstdio>

namespace {

// The characters of a problem's line shown at most, after its indent: with
// it, a terminal 80 columns wide.
constexpr size_t LINE_SHOWN = 76;

bool isContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The length of the UTF-8 sequence that starts at text[at], or 0 when none
// does.
size_t utf8Length(std::string const& text, size_t at) {
    auto const byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char const first = byte(at);
    size_t const length = first > 0xF4 ? 0 : first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : first >= 0xC2 ? 2 : 0;
    if (length == 0 || at + length > text.size()) return 0;
    for (size_t i = at + 1; i < at + length; ++i) {
        if (!isContinuation(text[i])) return 0;
    }
    return length;
}

// The characters of UTF-8 text, as a terminal shows them.
size_t shownWidth(std::string const& text) {
    return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) { return !isContinuation(c); }));
}

std::string firstCharacters(std::string const& text, size_t count) {
    size_t end = 0;
    for (size_t seen = 0; end < text.size(); ++end) {
        if (!isContinuation(text[end]) && seen++ == count) break;
    }
    return text.substr(0, end);
}

std::string lastCharacters(std::string const& text, size_t count) {
    size_t start = text.size();
    for (size_t seen = 0; start > 0 && seen < count;) {
        --start;
        seen += !isContinuation(text[start]);
    }
    return text.substr(start);
}

// The problem's line with a caret under its column, a screen wide around
// the column when the line is long.
std::string lineWithCaret(Problem const& problem) {
    std::string before = printable(problem.lineText.substr(0, problem.column - 1));
    std::string after = printable(problem.lineText.substr(problem.column - 1));
    if (shownWidth(before) + shownWidth(after) > LINE_SHOWN) {
        if (shownWidth(before) > LINE_SHOWN / 2) before = "..." + lastCharacters(before, LINE_SHOWN / 2 - 3);
        if (shownWidth(before) + shownWidth(after) > LINE_SHOWN)
            after = firstCharacters(after, LINE_SHOWN - shownWidth(before) - 3) + "...";
    }
    // The caret stands under the column, with the tabs of the line kept.
    std::string indent;
    for (char const c : before) {
        if (!isContinuation(c)) indent += c == '\t' ? '\t' : ' ';
    }
    return "    " + before + after + "\n    " + indent + "^\n";
}

}  // namespace

std::string describeProblem(Problem const& problem) {
    return problem.file + ":" + std::to_string(problem.line) + ":" + std::to_string(problem.column) +
           (problem.severity == Severity::WARNING ? ": warning: " : ": error: ") + problem.message;
}

std::string describeWithLine(Problem const& problem) {
    std::string text = describeProblem(problem) + "\n";
    if (problem.line > 0 && !problem.lineText.empty()) text += lineWithCaret(problem);
    if (!problem.hint.empty()) text += "hint: " + problem.hint + "\n";
    return text;
}

std::string printable(std::string const& text) {
    std::string shown;
    for (size_t at = 0; at < text.size();) {
        unsigned char const c = static_cast<unsigned char>(text[at]);
        size_t const length = c >= 0x80 ? utf8Length(text, at) : 0;
        if (length > 0) {
            shown += text.substr(at, length);
            at += length;
        } else if ((c >= 0x20 && c < 0x7F) || c == '\t') {
            shown += static_cast<char>(c);
            ++at;
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            shown += escaped;
            ++at;
        }
    }
    return shown;
}
