#pragma once

#include <functional>
#include <string>
#include <vector>

// What a notice says: a problem, or news of something done.
enum class NoticeKind { PROBLEM, NEWS };

// How a notice sits across the bottom of a window: its text in lines that
// each fit the window's width, the font size, the margin around the text and
// the band's height, all in pixels.
struct NoticeLayout {
    std::vector<std::string> lines;
    int fontSize, margin, bandHeight;
};

// The layout of the text in a window of the given size, scaled with the
// window and never smaller than at 800 x 450; width(text, fontSize) measures
// a line. Lines break between words, and inside a word too long for a line.
NoticeLayout layoutNotice(std::string const& text, int screenWidth, int screenHeight,
                          std::function<int(std::string const&, int)> const& width);

// Draws the text across the bottom of the screen, on a light band: how the
// game says what went wrong, or what it did, while it goes on.
void drawNotice(std::string const& text, NoticeKind kind);
