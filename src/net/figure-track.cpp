#include "figure-track.h"

#include <algorithm>
#include <numbers>

#include "raylib-api.h"

void FigureTrack::add(double time, PlayerState const& state) {
    if (count > 0 && time <= reports[newest].time) return;
    newest = (newest + 1) % KEPT;
    reports[newest] = {time, state};
    count = std::min(count + 1, KEPT);
}

PlayerState FigureTrack::at(double time) const {
    if (count == 0) return {};
    // From the newest back to the first report at or before the time.
    Report const* later = &reports[newest];
    if (time >= later->time) return later->state;
    for (size_t back = 1; back < count; ++back) {
        Report const& earlier = reports[(newest + KEPT - back) % KEPT];
        if (earlier.time <= time) {
            auto const share = static_cast<float>((time - earlier.time) / (later->time - earlier.time));
            PlayerState state = later->state;
            state.position = raylib::Vector3Lerp(earlier.state.position, later->state.position, share);
            state.pitch = earlier.state.pitch + share * (later->state.pitch - earlier.state.pitch);
            // The short way round.
            float turn = later->state.yaw - earlier.state.yaw;
            constexpr float HALF_TURN = std::numbers::pi_v<float>;
            if (turn > HALF_TURN) turn -= 2 * HALF_TURN;
            if (turn < -HALF_TURN) turn += 2 * HALF_TURN;
            state.yaw = earlier.state.yaw + share * turn;
            return state;
        }
        later = &earlier;
    }
    return later->state;  // older than every report: the oldest
}

void ServerClock::heard(double serverTime, double localTime) {
    offsets[next] = serverTime - localTime;
    next = (next + 1) % KEPT;
    count = std::min(count + 1, KEPT);
}

double ServerClock::now(double localTime) const {
    if (count == 0) return localTime;
    return localTime + *std::max_element(offsets.begin(), offsets.begin() + static_cast<std::ptrdiff_t>(count));
}
