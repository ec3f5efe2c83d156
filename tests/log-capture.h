#pragma once

// Captures what is written to std::clog while it lives.
#include <iostream>
#include <sstream>
#include <string>

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
