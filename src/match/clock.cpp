#include "match/clock.h"

#include <algorithm>

#include "match/score_display.h"

MatchClock match_clock_start(int32_t game_length_seconds) {
    MatchClock clock{};
    clock.remaining = static_cast<int64_t>(game_length_seconds) * 1000;
    clock.next_redraw = clock.remaining;
    clock.step = std::max<int64_t>(clock.remaining / clock_cells, 1);
    return clock;
}

ClockEvent match_clock_advance(MatchClock& clock, int32_t elapsed_ms) {
    if (clock.remaining <= 0) {
        return ClockEvent::none;
    }
    clock.remaining -= elapsed_ms;
    if (clock.remaining <= 0) {
        return ClockEvent::time_up;
    }
    if (clock.remaining < clock.next_redraw) {
        const int64_t cells = clock.remaining / clock.step;
        clock.shown_cells = static_cast<int32_t>(std::min<int64_t>(cells, INT32_MAX));
        clock.next_redraw -= clock.step;
        return ClockEvent::redraw;
    }
    return ClockEvent::none;
}
