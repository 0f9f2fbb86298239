#include "app/local_input.h"

#include "field/body.h"
#include "gfx/bitmap.h"
#include "settings/game_settings.h"

namespace {

ComputerBody body_seen(const Body* body) {
    if (body == nullptr) {
        return ComputerBody{};
    }
    return ComputerBody{
        body->x, body->y, body->vx, body->vy, body->image->width, body->image->height};
}

void computer_steer(LocalInput* local, InputRecord* record) {
    if (!local->computer[0] && !local->computer[1]) {
        return;
    }
    const ComputerView view = computer_view_of(local->state, record->elapsed_ms);
    for (int side = 0; side < input_sides; ++side) {
        if (local->computer[side]) {
            record->steer[side] = computer_player_steer(&local->computers[side], view);
        }
    }
}

bool local_read(void* context, InputRecord* record) {
    auto* local = static_cast<LocalInput*>(context);
    keyboard_input_read(&local->keyboard, record);
    computer_steer(local, record);
    return true;
}

// After an F1 or F2 screen the keys are read again; the computer goes on as it was.
void local_refresh(void* context, InputRecord* record) {
    auto* local = static_cast<LocalInput*>(context);
    const InputRecord before = *record;
    keyboard_input_refresh(&local->keyboard, record);
    for (int side = 0; side < input_sides; ++side) {
        if (local->computer[side]) {
            record->steer[side] = before.steer[side];
        }
    }
}

void local_resync(void* context) {
    keyboard_input_resync(&static_cast<LocalInput*>(context)->keyboard);
}

} // namespace

void local_input_start(LocalInput* local, bool red_computer, bool green_computer) {
    local->computer[0] = red_computer;
    local->computer[1] = green_computer;
    for (int side = 0; side < input_sides; ++side) {
        computer_player_start(&local->computers[side], side + 1, game_settings.computer_skill);
    }
}

MatchInput local_match_input(LocalInput* local) {
    MatchInput input;
    input.context = local;
    input.read = local_read;
    input.refresh = local_refresh;
    input.resync = local_resync;
    return input;
}

ComputerView computer_view_of(const MatchState* state, int32_t elapsed_ms) {
    ComputerView view{};
    const Body* red = field.body_head;
    const Body* green = red != nullptr ? red->next : nullptr;
    view.red = body_seen(red);
    view.green = body_seen(green);
    view.ball = body_seen(field.body_tail);
    view.side1_score = match.side1_score;
    view.side2_score = match.side2_score;
    view.remaining_ms = state != nullptr ? state->clock.remaining : 0;
    view.frame_count = match.frame_counter;
    view.game_speed = game_settings.game_speed;
    view.elapsed_ms = elapsed_ms;
    return view;
}
