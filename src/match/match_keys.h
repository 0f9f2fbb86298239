#pragma once
// What a match does with a frame's record besides the clock: Escape, F1/F2, steering, F11/F12.
#include "input/match_input.h"

// An F1 or F2 screen that runs here brings the record up to date through the input's refresh.
void match_keys_handle(InputRecord& record, const MatchInput& input);
