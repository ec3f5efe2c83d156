#include "notice.h"

#include <algorithm>
#include <utility>

#include "raylib-api.h"
#include "ui-scale.h"

namespace {

constexpr int FONT_SIZE = 12;
constexpr int MARGIN = 6;
constexpr raylib::Color BAND{255, 236, 200, 255};
constexpr raylib::Color PROBLEM_TEXT{120, 20, 20, 255};
constexpr raylib::Color NEWS_TEXT{40, 40, 40, 255};

}  // namespace

NoticeLayout layoutNotice(std::string const& text, int screenWidth, int screenHeight,
                          std::function<int(std::string const&, int)> const& width) {
    float const scale = std::max(1.0f, fitScale(screenWidth, screenHeight));
    NoticeLayout layout{{}, static_cast<int>(FONT_SIZE * scale), static_cast<int>(MARGIN * scale), 0};
    int const room = screenWidth - 2 * layout.margin;
    auto const fits = [&](std::string const& line) { return width(line, layout.fontSize) <= room; };
    std::string line;
    for (size_t at = 0; at < text.size();) {
        size_t const end = std::min(text.find(' ', at), text.size());
        std::string const word = text.substr(at, end - at);
        at = end + 1;
        std::string const joined = line.empty() ? word : line + " " + word;
        if (fits(joined)) {
            line = joined;
            continue;
        }
        if (!line.empty()) layout.lines.push_back(line);
        // A word wider than a line is broken where it must be.
        line.clear();
        for (char const c : word) {
            if (!line.empty() && !fits(line + c)) layout.lines.push_back(std::exchange(line, ""));
            line += c;
        }
    }
    if (!line.empty()) layout.lines.push_back(line);
    layout.bandHeight = static_cast<int>(layout.lines.size()) * layout.fontSize + 2 * layout.margin;
    return layout;
}

void drawNotice(std::string const& text, NoticeKind kind) {
    int const width = raylib::GetScreenWidth();
    int const height = raylib::GetScreenHeight();
    NoticeLayout const layout = layoutNotice(text, width, height, [](std::string const& line, int fontSize) {
        return raylib::MeasureText(line.c_str(), fontSize);
    });
    int const top = height - layout.bandHeight;
    raylib::DrawRectangle(0, top, width, layout.bandHeight, BAND);
    for (size_t i = 0; i < layout.lines.size(); ++i) {
        raylib::DrawText(layout.lines[i].c_str(), layout.margin,
                         top + layout.margin + static_cast<int>(i) * layout.fontSize, layout.fontSize,
                         kind == NoticeKind::PROBLEM ? PROBLEM_TEXT : NEWS_TEXT);
    }
}

void TimedNotice::show(std::string text, NoticeKind kind) {
    shown = std::move(text);
    this->kind = kind;
    fresh = true;
}

void TimedNotice::offer(std::string text, NoticeKind kind, double now) {
    if (!showing(now)) show(std::move(text), kind);
}

bool TimedNotice::showing(double now) const {
    return !shown.empty() && (fresh || now < until);
}

void TimedNotice::draw(double now) {
    if (fresh) until = now + NOTICE_SECONDS;
    fresh = false;
    if (showing(now)) drawNotice(shown, kind);
}
