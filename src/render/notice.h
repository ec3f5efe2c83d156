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

// The seconds a notice stays on the screen.
inline constexpr double NOTICE_SECONDS = 6.0;

// The notice on a window's screen, shown for NOTICE_SECONDS counted from
// the first frame that draws it (times are the frame's, in seconds).
class TimedNotice {
public:
    void show(std::string text, NoticeKind kind);
    // Shows the text unless another notice is on the screen.
    void offer(std::string text, NoticeKind kind, double now);
    bool showing(double now) const;
    // Draws the notice while it is on the screen.
    void draw(double now);

private:
    std::string shown;
    NoticeKind kind = NoticeKind::NEWS;
    // Shown, but not drawn yet: its seconds have not begun.
    bool fresh = false;
    double until = 0;
};
