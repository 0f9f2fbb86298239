#include "match/match_loop.h"

#include "field/body.h"
#include "field/field.h"
#include "gfx/bitmap.h"
#include "gfx/display.h"
#include "gfx/pictures.h"
#include "gfx/sprite.h"
#include "input/keyboard.h"
#include "match/match_keys.h"
#include "match/score_display.h"
#include "match/sequences.h"
#include "platform/system.h"
#include "settings/game_settings.h"
#include "sound/sound.h"

Match match;

namespace {

constexpr uint32_t goal_pause_ms = 1500;
constexpr int32_t winning_score = 5; // a side wins when its score passes this

void field_sounds_play(const FieldEvents& events) {
    for (int i = 0; i < events.count; ++i) {
        if (events.sounds[i] == FieldSound::bounce) {
            sound_play_effect(0, 20000);
        } else {
            sound_play_effect(1, 24000);
        }
    }
}

void goal_handle(int32_t goal) {
    if (goal == goal_side1) {
        match.side1_score += 1;
    } else {
        match.side2_score += 1;
    }
    bodies_restore_backgrounds();
    goal_animation();
    body_list_free();
    if (goal == goal_side1) {
        bitmap_zoom_in(pictures.goal_picture_side1, 100, 150, 1);
    } else {
        bitmap_zoom_in(pictures.goal_picture_side2, 100, 50, 1);
    }
    delay_ms(goal_pause_ms);
    body_list_reset();
    kick_off();
    score_display();
    debug_log("goal %d: %d-%d\n", goal, match.side1_score, match.side2_score);
}

// The clock step of one frame: counts down, redraws the bar, or runs time-up once.
void clock_step(MatchState& state, int32_t elapsed, const MatchInput& input) {
    switch (match_clock_advance(state.clock, elapsed)) {
    case ClockEvent::time_up:
        time_up();
        debug_log("time up: %d-%d\n", match.side1_score, match.side2_score);
        input.resync(input.context);
        break;
    case ClockEvent::redraw:
        clock_display(state.clock.shown_cells);
        break;
    case ClockEvent::none:
        break;
    }
}

} // namespace

void match_begin(MatchState& state, const MatchInput& input) {
    bitmap_put(pictures.pitch_image, 0, 0);
    bitmap_grab(pictures.top_score_save, 70, 0, 130, 10);
    bitmap_grab(pictures.bottom_score_save, 70, 190, 130, 199);
    bitmap_grab(pictures.clock_save, 215, 0, 319, 10);
    state.last_goal = goal_none;
    state.record = InputRecord{};
    match.side1_score = 0;
    match.side2_score = 0;
    match.frame_counter = 0;
    match.quit_requested = 0;
    state.clock = match_clock_start(game_settings.game_length);
    // A match that ended in a win or on Escape left its bodies in the list.
    body_list_free();
    body_list_reset();
    kick_off();
    display_hashing_set(true);
    input.resync(input.context);
    debug_log("match start\n");
}

FrameResult match_frame(MatchState& state, const MatchInput& input) {
    if (match.side1_score > winning_score || match.side2_score > winning_score) {
        return FrameResult::won;
    }
    InputRecord& record = state.record;
    record = InputRecord{};
    if (!input.read(input.context, &record)) {
        display_hashing_set(false);
        return FrameResult::stopped;
    }
    match_keys_handle(record, input);
    input.resync(input.context);
    FieldEvents events;
    const int32_t goal = field_update(record.elapsed_ms, match.frame_counter, &events);
    field_sounds_play(events);
    if (match.frame_counter % 7 == 0) {
        score_display();
    }
    state.last_goal = goal;
    clock_step(state, record.elapsed_ms, input);
    display_present(display.back_buffer);
    match.frame_counter = static_cast<int32_t>(static_cast<uint32_t>(match.frame_counter) + 1);
    if (goal != goal_none) {
        goal_handle(goal);
        input.resync(input.context);
    }
    if (match.quit_requested == 1) {
        debug_log("match quit\n");
        display_hashing_set(false);
        wait_keys_released();
        return FrameResult::quit;
    }
    return FrameResult::next;
}

void match_end(const MatchState& state, const MatchInput& input) {
    if (match.side1_score > winning_score && state.last_goal == goal_side1) {
        debug_log("side 1 wins\n");
        side_1_wins_screen(input);
    } else if (match.side2_score > winning_score && state.last_goal == goal_side2) {
        debug_log("side 2 wins\n");
        side_2_wins_screen(input);
    }
    display_hashing_set(false);
    wait_keys_released();
}

void match_play(const MatchInput& input) {
    MatchState state{};
    match_begin(state, input);
    FrameResult result = FrameResult::next;
    while (result == FrameResult::next) {
        result = match_frame(state, input);
    }
    if (result == FrameResult::won) {
        match_end(state, input);
    }
}
