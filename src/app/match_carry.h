#pragma once
// The state that carries over from one match to the next (the random numbers, the score marker
// animation, the blend threshold, a pending collision skip, the plasma's drift), so that a match
// can be recorded, played back or played over the network on its own.
#include "match/match_loop.h"
#include "record/recording.h"

MatchCarry match_carry_capture();
void match_carry_apply(const MatchCarry& carry);
// What a fresh program starts with; both sides of a network session begin from it.
MatchCarry match_carry_fresh();
// FNV-1a 64 of what both sides of a network match must agree on: the bodies, the scores, the
// clock, the frame count and the random numbers (not the blend threshold, which is local).
uint64_t match_state_hash(const MatchState& state);
