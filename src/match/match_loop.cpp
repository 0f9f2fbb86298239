#include "match/match_loop.h"

#include <cstdlib>

#include "app/display.h"
#include "app/game_settings.h"
#include "app/keyboard.h"
#include "app/utility.h"
#include "field/body.h"
#include "field/field.h"
#include "gfx/bitmap.h"
#include "gfx/sprite.h"
#include "match/score_display.h"
#include "match/sequences.h"
#include "match/setup.h"
#include "platform/clock.h"
#include "resources/archive.h"
#include "screens/match_keys.h"
#include "screens/title.h"
#include "sound/sound.h"

int32_t side1_score = 0;
int32_t side2_score = 0;
int32_t frame_counter = 0;
int32_t quit_requested = 0;

namespace {

constexpr uint32_t goal_pause_ms = 1500;
constexpr int32_t winning_score = 5; // a side wins when its score passes this

} // namespace

void match_begin(MatchState& state) {
    bitmap_put(pitch_image, 0, 0);
    bitmap_grab(top_score_save, 70, 0, 130, 10);
    bitmap_grab(bottom_score_save, 70, 190, 130, 199);
    bitmap_grab(clock_save, 215, 0, 319, 10);
    state.last_goal = goal_none;
    side1_score = 0;
    side2_score = 0;
    frame_counter = 0;
    quit_requested = 0;
    state.clock = match_clock_start(game_length);
    // A match that ended in a win or on Escape left its bodies in the list.
    body_list_free();
    body_list_reset();
    kick_off();
    state.last_ticks = clock_ticks();
    debug_log("match start\n");
}

namespace {

void goal_handle(int32_t goal) {
    if (goal == goal_side1) {
        side1_score += 1;
    } else {
        side2_score += 1;
    }
    bodies_restore_backgrounds();
    goal_animation();
    body_list_free();
    if (goal == goal_side1) {
        bitmap_zoom_in(goal_picture_side1, 100, 150, 1);
    } else {
        bitmap_zoom_in(goal_picture_side2, 100, 50, 1);
    }
    delay_ms(goal_pause_ms);
    body_list_reset();
    kick_off();
    score_display();
    debug_log("goal %d: %d-%d\n", goal, side1_score, side2_score);
}

// The clock step of one frame: counts down, redraws the bar, or runs time-up once.
void clock_step(MatchState& state, int32_t elapsed) {
    switch (match_clock_advance(state.clock, elapsed)) {
    case ClockEvent::time_up:
        time_up();
        debug_log("time up: %d-%d\n", side1_score, side2_score);
        state.last_ticks = clock_ticks();
        break;
    case ClockEvent::redraw:
        clock_display(state.clock.shown_cells);
        break;
    case ClockEvent::none:
        break;
    }
}

} // namespace

FrameResult match_frame(MatchState& state) {
    if (side1_score > winning_score || side2_score > winning_score) {
        return FrameResult::won;
    }
    const uint32_t now = clock_ticks();
    pump_events();
    match_keys_handle();
    const auto elapsed = static_cast<int32_t>(now - state.last_ticks);
    state.last_ticks = clock_ticks();
    const int32_t goal = field_update(elapsed);
    state.last_goal = goal;
    clock_step(state, elapsed);
    display_present(back_buffer);
    frame_counter = static_cast<int32_t>(static_cast<uint32_t>(frame_counter) + 1);
    if (goal != goal_none) {
        goal_handle(goal);
        state.last_ticks = clock_ticks();
    }
    if (quit_requested == 1) {
        debug_log("match quit\n");
        wait_keys_released();
        return FrameResult::quit;
    }
    return FrameResult::next;
}

namespace {

void match_end(int32_t last_goal) {
    if (side1_score > winning_score && last_goal == goal_side1) {
        debug_log("side 1 wins\n");
        side_1_wins_screen();
    } else if (side2_score > winning_score && last_goal == goal_side2) {
        debug_log("side 2 wins\n");
        side_2_wins_screen();
    }
    wait_keys_released();
}

} // namespace

void match_play() {
    MatchState state{};
    match_begin(state);
    FrameResult result = FrameResult::next;
    while (result == FrameResult::next) {
        result = match_frame(state);
    }
    if (result == FrameResult::won) {
        match_end(state.last_goal);
    }
}

void match_cycle() {
    debug_log("Game!\n");
    key_state.fill(0);
    for (;;) {
        title_screen_run();
        match_play();
    }
}

void program_exit() {
    sound_stop();
    body_list_free();
    std::free(plasma_buffer);
    plasma_buffer = nullptr;
    archive_close();
    display_close();
    // Leaving through Escape on the title screen is the normal end, not a failure.
    std::exit(0);
}
