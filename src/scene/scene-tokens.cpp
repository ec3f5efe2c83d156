#include "scene-tokens.h"

#include <algorithm>
#include <locale>

namespace {

constexpr size_t MAX_COMMENT_LENGTH = 65536;

bool isWhitespace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool startsNumber(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '+' || c == '.';
}

}  // namespace

TextLines::TextLines(std::string_view text) : text(text) {
    starts.push_back(0);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') starts.push_back(i + 1);
    }
}

Place TextLines::placeOf(size_t offset) const {
    auto const line = std::upper_bound(starts.begin(), starts.end(), offset) - 1;
    return {static_cast<int>(line - starts.begin()) + 1, static_cast<int>(offset - *line) + 1, offset};
}

std::string TextLines::lineOf(size_t offset) const {
    size_t const from = lineStart(placeOf(offset).line);
    size_t const feed = text.find('\n', from);
    return std::string(text.substr(from, feed == std::string_view::npos ? std::string_view::npos : feed - from));
}

size_t TextLines::lineStart(int line) const {
    return line <= count() ? starts[line - 1] : text.size();
}

SceneTokens::SceneTokens(std::string_view text) : text(text), textLines(text) {
    numbers.imbue(std::locale::classic());
}

void SceneTokens::skipWhitespace() {
    while (at < text.size() && isWhitespace(text[at])) ++at;
    // At the end the place stays that of the last token, where an author
    // looks for what is missing.
    if (at < text.size()) start = at;
}

bool SceneTokens::more() {
    skipWhitespace();
    return at < text.size();
}

std::string SceneTokens::word() {
    if (failed) return "";
    skipWhitespace();
    size_t const from = at;
    while (at < text.size() && !isWhitespace(text[at])) ++at;
    return std::string(text.substr(from, at - from));
}

float SceneTokens::number() {
    if (failed) return 0;
    skipWhitespace();
    size_t run = 0;
    while (at + run < text.size() && !isWhitespace(text[at + run])) ++run;
    numbers.clear();
    numbers.str(std::string(text.substr(at, run)));
    float value = 0;
    if (!(numbers >> value)) {
        fail(run == 0 ? "Expected a number but got end of file"
                      : "Expected a number but got \"" +
                            printable(std::string(text.substr(at, std::min<size_t>(run, 40)))) + "\"",
             TokenFailure::UNREADABLE);
        return 0;
    }
    at += numbers.eof() ? run : static_cast<size_t>(numbers.tellg());
    return value;
}

char SceneTokens::separator() {
    if (failed) return 0;
    skipWhitespace();
    if (at == text.size()) {
        fail("Expected a separator such as ',' but got end of file", TokenFailure::UNREADABLE);
        return 0;
    }
    char const c = text[at++];
    if (c == '(') noteSlip(start, "a ',' is missing before the '(' at column %d");
    return c;
}

raylib::Vector3 SceneTokens::vector() {
    if (failed) return {};
    skipWhitespace();
    size_t const opening = start;
    if (at == text.size() || text[at] != '(') {
        fail(std::string("Expected '(' but got ") +
                 (at == text.size() ? "end of file" : printable(std::string(1, text[at]))),
             TokenFailure::NO_OPENING);
        return {};
    }
    ++at;
    // Any character separates and closes a vector; a digit or a comma where
    // the numbers end often means a slip, which a failure after it names.
    auto const separatorOf = [&](bool closing) {
        char const c = separator();
        if (startsNumber(c)) {
            noteSlip(opening, "the vector at column %d needs a ',' between its numbers: write (x, y, z)");
        } else if (closing && c == ',') {
            noteSlip(opening, "the vector at column %d ends with ',', not ')': is its ')' missing?");
        }
    };
    raylib::Vector3 v;
    v.x = number();
    separatorOf(false);
    v.y = number();
    separatorOf(false);
    v.z = number();
    separatorOf(true);
    return failed ? raylib::Vector3{} : v;
}

void SceneTokens::restOfLine() {
    if (failed) return;
    size_t const end = std::min(text.size(), at + MAX_COMMENT_LENGTH);
    size_t const feed = text.substr(0, end).find('\n', at);
    at = feed == std::string_view::npos ? end : feed + 1;
}

bool SceneTokens::take(char c) {
    if (failed) return false;
    size_t next = at;
    while (next < text.size() && isWhitespace(text[next])) ++next;
    if (next == text.size() || text[next] != c) return false;
    at = next + 1;
    return true;
}

void SceneTokens::fail(std::string message, TokenFailure kind) {
    if (!failed) failed = Failure{start, std::move(message), kind};
}

void SceneTokens::clearFailure() {
    failed.reset();
}

void SceneTokens::noteSlip(size_t where, char const* hint) {
    if (!slip) slip = {where, hint};
}

std::string SceneTokens::slipHint() const {
    if (!slip) return "";
    return raylib::TextFormat(slip->second, placeOf(slip->first).column);
}

void SceneTokens::skipToNextEntry() {
    // An entry goes on over lines that are indented or start with a vector
    // or a number; the next one starts with a word at the start of a line.
    int line = placeOf(start).line + 1;
    for (; line <= textLines.count(); ++line) {
        size_t const from = textLines.lineStart(line);
        if (from < text.size() && (std::isalpha(static_cast<unsigned char>(text[from])) || text[from] == '#')) break;
    }
    at = textLines.lineStart(line);
    start = at;
    failed.reset();
}

Problem problemAt(TextLines const& lines, std::string const& file, size_t offset, std::string message,
                  Severity severity) {
    Place const place = lines.placeOf(offset);
    return {.file = file,
            .line = place.line,
            .column = place.column,
            .message = std::move(message),
            .severity = severity,
            .lineText = lines.lineOf(offset)};
}
