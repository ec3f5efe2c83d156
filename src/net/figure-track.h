#pragma once

#include <array>
#include <cstddef>

#include "protocol.h"

// How far behind the newest news of a figure it is drawn, in seconds: the
// snapshots on both sides of that moment have most often come.
inline constexpr double FIGURE_DELAY = 0.1;

// The places a remote player was reported at, by the server's clock, and
// where it is drawn at a moment: between the two reports around it, never
// past the newest (a figure waits rather than overshoots).
class FigureTrack {
public:
    // A report; one older than the newest is left out.
    void add(double time, PlayerState const& state);
    // Where the figure stands at that moment of the server's clock.
    PlayerState at(double time) const;
    bool empty() const { return count == 0; }

private:
    struct Report {
        double time = 0;
        PlayerState state;
    };
    static constexpr size_t KEPT = 16;
    // The newest at newest, the older before it, around the ring.
    std::array<Report, KEPT> reports{};
    size_t newest = 0, count = 0;
};

// The server's clock as a client sees it: a snapshot sent at server time s
// and received at local time l says the server's clock is at least s when
// the local one is l. The largest such offset over the last reports is the
// quickest delivery seen.
class ServerClock {
public:
    void heard(double serverTime, double localTime);
    // The server's time now, as the quickest delivery tells; the local time
    // until something is heard.
    double now(double localTime) const;

private:
    static constexpr size_t KEPT = 64;
    std::array<double, KEPT> offsets{};
    size_t next = 0, count = 0;
};
