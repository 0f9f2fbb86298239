#pragma once
// The sequences that interrupt the frames of a match: goal, time-up and the two end screens.
#include <cstdint>

#include "input/match_input.h"

struct Bitmap;

// Top-left corners of the two goal animation areas for players at (red_x, red_y), (green_x,
// green_y).
struct GoalAreas {
    int32_t ax, ay;
    int32_t bx, by;
};

GoalAreas goal_areas(double red_x, double red_y, double green_x, double green_y);
// A record of the given width over frame k of a vertical strip, frames `step` rows apart and
// `rows` tall, cut to the end of the strip (0 rows when the frame lies beyond it).
Bitmap strip_frame(const Bitmap* strip, int32_t width, int32_t k, int32_t step, int32_t rows);
// time-up's score rule: the leader goes to 5, both sides when level.
void time_up_scores(int32_t& side1, int32_t& side2);

void goal_animation();
void time_up();
// Each ends with the input's wait for a key.
void side_1_wins_screen(const MatchInput& input);
void side_2_wins_screen(const MatchInput& input);
