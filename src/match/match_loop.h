#pragma once
// One match, frame by frame, from the records of its input.
#include <cstdint>

#include "input/match_input.h"
#include "match/clock.h"

struct Match {
    // Reset at the start of every match.
    int32_t side1_score = 0;
    int32_t side2_score = 0;
    int32_t frame_counter = 0;
    int32_t quit_requested = 0;
    // Frame of the top score markers, 0 .. 29; carries over from match to match.
    int32_t marker_frame = 0;
};

extern Match match;

struct MatchState {
    MatchClock clock;
    int32_t last_goal;  // goal code of the most recent frame
    InputRecord record; // what the most recent frame ran on
};

// stopped: the input had no record for the frame, which was not played.
enum class FrameResult { next, won, quit, stopped };

// Draws the pitch, saves the panels, resets scores and kicks off.
void match_begin(MatchState& state, const MatchInput& input);
// One frame of a match: won when a side's score has passed 5 (nothing else happens then),
// quit after a frame in which Escape was held (once every key is released).
FrameResult match_frame(MatchState& state, const MatchInput& input);
// The end of a won match: the winner's screen, then every key released.
void match_end(const MatchState& state, const MatchInput& input);
// One match, from the pitch being drawn to a win or Escape.
void match_play(const MatchInput& input);
