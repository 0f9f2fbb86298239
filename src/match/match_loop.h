#pragma once
// The endless cycle of title screen and match, and the orderly end of the program.
#include <cstdint>

extern int32_t side1_score;
extern int32_t side2_score;
extern int32_t frame_counter;
extern int32_t quit_requested;

// One match, from the pitch being drawn to a win or Escape.
void match_play();
[[noreturn]] void match_cycle();
[[noreturn]] void program_exit();
