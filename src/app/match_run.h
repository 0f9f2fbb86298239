#pragma once
// One whole match from its input, and what else a run does with it: a recording of its records,
// and in a network session the hashes that keep both games honest.
#include "input/match_input.h"
#include "match/match_loop.h"

struct NetSession;
struct RecordingWriter;

struct MatchWatch {
    RecordingWriter* writer = nullptr;
    NetSession* net = nullptr;
    // Called with the match's state before each frame (the computer watches its clock).
    const MatchState** state_out = nullptr;
};

// Plays to a win (then the winner's screen) or to Escape; returns which.
FrameResult match_run(const MatchInput& input, const MatchWatch& watch);
