#pragma once

#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "raylib-api.h"
#include "scene-description.h"

// The lines of a text, to find where a byte of it stands.
class TextLines {
public:
    // The text is not copied: it must outlive the lines.
    explicit TextLines(std::string_view text);
    Place placeOf(size_t offset) const;
    // The line that holds the byte at offset, without its line feed.
    std::string lineOf(size_t offset) const;
    // Where line n (from 1) starts; the text's end past its last line.
    size_t lineStart(int line) const;
    int count() const { return static_cast<int>(starts.size()); }

private:
    std::string_view text;
    std::vector<size_t> starts;
};

// What kind of read failed, for readers that raise each kind its own way.
enum class TokenFailure {
    NO_OPENING,  // a vector without its "("
    UNREADABLE,  // a number or a separator that is not there
    BAD_COLOUR,  // a colour word that is not in the table
    BAD_OPTION,  // what follows a model's position
};

// The tokens of a scene text: words, characters, numbers, separators,
// vectors and the rest of a line, each after the whitespace before it
// (blank, tab, line feed, vertical tab, form feed, carriage return). The
// first read that fails notes why; every read after it gives nothing and
// moves nothing, until the failure is cleared.
class SceneTokens {
public:
    // The text is not copied: it must outlive the tokens.
    explicit SceneTokens(std::string_view text);

    // Skips whitespace; whether anything is left.
    bool more();
    std::string word();
    // Numbers as a float is read from a stream in the classic locale.
    float number();
    // One character, which separates fields; which one does not matter.
    char separator();
    // (x, y, z), where only the "(" is tested.
    raylib::Vector3 vector();
    // Up to and with the next line feed, at most 65,536 characters, from
    // right where the last token ended.
    void restOfLine();
    // Whether the next character, after whitespace, is c; taken when it is.
    bool take(char c);

    struct Failure {
        size_t at;
        std::string message;
        TokenFailure kind;
    };
    std::optional<Failure> const& failure() const { return failed; }
    void fail(std::string message, TokenFailure kind);
    void clearFailure();

    // A slip noted in the entry being read (a missing ',' or ')'), the hint
    // for a failure after it; the first one counts. The hint's %d is the
    // column where it was noted.
    void noteSlip(size_t at, char const* hint);
    std::string slipHint() const;
    void clearSlip() { slip.reset(); }

    // Where the last token started, or would have: the place of a failure.
    size_t tokenStart() const { return start; }
    size_t offset() const { return at; }
    TextLines const& lines() const { return textLines; }
    Place placeOf(size_t offset) const { return textLines.placeOf(offset); }
    // After a failure: on past its line and the lines of the same entry,
    // to the next line that starts with a word.
    void skipToNextEntry();

private:
    void skipWhitespace();

    std::string_view text;
    size_t at = 0, start = 0;
    TextLines textLines;
    std::optional<Failure> failed;
    std::optional<std::pair<size_t, char const*>> slip;
    std::istringstream numbers;
};

// A problem of the text at offset, with its line.
Problem problemAt(TextLines const& lines, std::string const& file, size_t offset, std::string message,
                  Severity severity = Severity::FATAL);
