#pragma once

#include <optional>
#include <string>
#include <utility>

// How bad a problem is: a fatal one keeps a file from being used at all; an
// error leaves it usable without what it names (a model of a scene that is
// missing or refused); a warning is of a file that works as written but
// hardly as meant (a box of no size, nothing to stand on).
enum class Severity { FATAL, ERROR, WARNING };

// What is wrong with a file the program reads (a scene, a model, settings,
// a recording), and where.
struct Problem {
    std::string file{};
    int line = 0, column = 0;  // 0: of the file as a whole
    std::string message{};
    Severity severity = Severity::FATAL;
    // The text of the line it stands on, as read.
    std::string lineText{};
    // What the author may have meant, for the commonest slips; often empty.
    std::string hint{};
};

// "FILE:LINE:COLUMN: error: message" ("warning:" for a warning), as
// compilers write a problem.
std::string describeProblem(Problem const& problem);
// The same, then its line with a caret under the column, and the hint when
// there is one, each on a line of its own.
std::string describeWithLine(Problem const& problem);

// The text with every byte that does not print (control characters but the
// tab, bytes that are not UTF-8) written as \xHH, so that it can go to a
// terminal.
std::string printable(std::string const& text);

// What a reader gives: what it read, or the problem that kept it from
// reading it.
template <class T>
class ReadResult {
public:
    ReadResult(T value) : read(std::move(value)) {}
    ReadResult(Problem problem) : why(std::move(problem)) {}

    explicit operator bool() const { return read.has_value(); }
    T& operator*() { return *read; }
    T const& operator*() const { return *read; }
    T* operator->() { return &*read; }
    T const* operator->() const { return &*read; }
    // Empty when it was read.
    Problem const& problem() const { return why; }

private:
    std::optional<T> read;
    Problem why;
};
