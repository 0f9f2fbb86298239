#pragma once
// The players at this machine: each side is its keys and its pad, or the computer.
#include "computer/computer_player.h"
#include "input/match_input.h"
#include "match/match_loop.h"

struct LocalInput {
    KeyboardInput keyboard;
    bool computer[input_sides] = {false, false};
    ComputerPlayer computers[input_sides];
    const MatchState* state = nullptr; // the match the computer watches (its clock)
};

// Which sides the computer plays, at the skill of the game settings.
void local_input_start(LocalInput* local, bool red_computer, bool green_computer);
MatchInput local_match_input(LocalInput* local);
// What a player sees of the match on the screen.
ComputerView computer_view_of(const MatchState* state, int32_t elapsed_ms);
