#include "input/match_input.h"

#include "input/keyboard.h"
#include "input/pads.h"
#include "platform/platform.h"
#include "settings/game_settings.h"

namespace {

// A pad steers its side together with that side's keys.
void keyboard_steer_read(InputRecord* record) {
    const GameSettings& s = game_settings;
    record->steer[0] = keyboard_steer(s.red_keys) | pad_steer(s.red_pad, s.pad_dead_zone);
    record->steer[1] = keyboard_steer(s.green_keys) | pad_steer(s.green_pad, s.pad_dead_zone);
}

} // namespace

bool keyboard_input_read(void* context, InputRecord* record) {
    auto* keyboard = static_cast<KeyboardInput*>(context);
    const uint32_t now = clock_ticks();
    pump_events();
    keyboard_steer_read(record);
    // Asked to end, the match ends as on Escape, and the program after it.
    record->keys = keyboard_match_keys() | (quit_asked() ? match_key_escape : 0);
    record->elapsed_ms = static_cast<int32_t>(now - keyboard->last_ticks);
    return true;
}

void keyboard_input_refresh(void*, InputRecord* record) {
    keyboard_steer_read(record);
    constexpr uint8_t kept = match_key_escape | match_key_f1 | match_key_f2;
    record->keys = static_cast<uint8_t>((record->keys & kept) | (keyboard_match_keys() & ~kept));
}

void keyboard_input_resync(void* context) {
    static_cast<KeyboardInput*>(context)->last_ticks = clock_ticks();
}

MatchInput keyboard_match_input(KeyboardInput* keyboard) {
    MatchInput input;
    input.context = keyboard;
    input.read = keyboard_input_read;
    input.refresh = keyboard_input_refresh;
    input.resync = keyboard_input_resync;
    return input;
}
