#pragma once
// The computer opponent: steers one side from what a player sees on the screen, once a frame.
// It knows only positions, velocities, sizes, the score and the clock; its randomness is its
// own, so a recording of its bits replays without it.
#include <cstdint>

#include "input/input_record.h"

struct ComputerBody {
    double x, y; // top-left corner, pixels
    double vx, vy;
    int32_t w, h;
};

struct ComputerView {
    ComputerBody red;
    ComputerBody green;
    ComputerBody ball;
    int32_t side1_score;
    int32_t side2_score;
    int64_t remaining_ms; // match time left; 0 or less once time is up
    int32_t frame_count;  // frames of this match so far
    double game_speed;
    int32_t elapsed_ms; // how far this frame moves the bodies
};

constexpr int32_t computer_history_length = 32;

struct ComputerPlayer {
    int32_t side;  // 1 red (shoots into the bottom opening), 2 green (the top one)
    int32_t skill; // 1 slow and rough .. 3 quick and precise
    uint32_t random_state;
    int32_t last_frame;  // frame count of the newest view, -1 before the first
    double frame_scale;  // pixels per frame per unit of velocity, last seen non-zero
    double aim_offset;   // pixels beside the middle of the opening, this attempt
    int32_t aim_frames;  // frames until the aim is drawn again
    int32_t plan_touch;  // the kind of touch planned last frame (0 none)
    int32_t plan_frame;  // and the frame it was planned for
    int32_t slow_frames; // frames the ball has been slow
    int32_t seen_count;  // views held, up to the history length
    int32_t newest;      // index of the newest view
    ComputerView seen[computer_history_length];
    uint8_t sent[computer_history_length]; // bits given with each view
};

// side 1 or 2, skill 1..3 (out-of-range values are brought into range).
void computer_player_start(ComputerPlayer* player, int32_t side, int32_t skill);
// The steering bits for this frame (steer_left/right/up/down); never two opposite ones.
uint8_t computer_player_steer(ComputerPlayer* player, const ComputerView& view);
