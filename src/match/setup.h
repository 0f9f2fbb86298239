#pragma once
// What game_run makes once and keeps for the whole run.
#include <array>
#include <cstdint>

struct Bitmap;

extern uint8_t* plasma_buffer;
extern uint16_t* back_buffer;

extern Bitmap* title_picture;
extern Bitmap* title_panels;
extern Bitmap* wipe_bar_upper;
extern Bitmap* wipe_bar_lower;
extern Bitmap* score_marks;
extern Bitmap* red_image;
extern Bitmap* green_image;
extern Bitmap* ball_image;
extern Bitmap* pitch_image;
extern Bitmap* goal_picture_side1;
extern Bitmap* goal_picture_side2;
extern Bitmap* clock_image;
extern Bitmap* goal_anim_a;
extern Bitmap* goal_anim_b;
extern Bitmap* end_picture_a;
extern Bitmap* end_picture_side2;
extern Bitmap* end_picture_side1;
extern Bitmap* end_picture_b;
extern Bitmap* time_up_picture_a;
extern Bitmap* time_up_picture_b;
extern Bitmap* top_score_save;
extern Bitmap* bottom_score_save;
extern Bitmap* clock_save;
extern Bitmap* marker_view;

// Everything game_run makes before the match cycle; tests call it on its own.
void game_setup();
[[noreturn]] void game_run();
