#pragma once

#include <iostream>
#include <sstream>
#include <string>

// Takes what is written to std::clog while it lives, instead of the log: for
// work whose own log lines would only repeat what is reported another way
// (a scene being checked, measured or drawn), and for tests.
class LogCapture {
public:
    LogCapture() : saved(std::clog.rdbuf(captured.rdbuf())) {}
    ~LogCapture() { std::clog.rdbuf(saved); }
    LogCapture(LogCapture const&) = delete;
    LogCapture& operator=(LogCapture const&) = delete;

    std::string text() const { return captured.str(); }

private:
    std::ostringstream captured;
    std::streambuf* saved;
};
