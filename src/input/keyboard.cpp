#include "input/keyboard.h"

#include "input/pads.h"
#include "platform/platform.h"
#include "platform/system.h"
#include "settings/game_settings.h"

#include <algorithm>

std::array<uint8_t, key_count> key_state{};

namespace {

bool quit_seen = false;

// A code is held as the body's 16-bit key field would hold it: -1 (none) and codes beyond the
// table never are.
bool key_held(int32_t code) {
    const auto narrow = static_cast<int16_t>(code);
    return narrow >= 0 && narrow < key_count && key_state[narrow] != 0;
}

void key_event(uint32_t symbol, bool pressed) {
    const uint32_t index = symbol % key_count;
    if (pressed) {
        debug_log("SDL key code :%d\n", static_cast<int>(index));
    }
    key_state[index] = pressed ? 1 : 0;
}

} // namespace

void pump_events() {
    PlatformEvent event;
    while (events_poll(&event)) {
        if (event.type == PlatformEventType::key_down || event.type == PlatformEventType::key_up) {
            key_event(event.symbol, event.type == PlatformEventType::key_down);
        } else if (event.type == PlatformEventType::quit) {
            quit_seen = true;
        } else {
            bool pressed = false;
            if (const int key = pad_event_take(event, &pressed)) {
                key_state[key] = pressed ? 1 : 0;
            }
        }
    }
}

int32_t count_held_keys() {
    return static_cast<int32_t>(std::count(key_state.begin(), key_state.end(), 1));
}

// The waits hand the processor back between polls instead of spinning.
void wait_keys_released() {
    for (;;) {
        pump_events();
        if (count_held_keys() == 0 || quit_seen) {
            return;
        }
        delay_ms(1);
    }
}

void wait_key_change() {
    std::array<uint8_t, key_count> before = key_state;
    delay_ms(10);
    for (;;) {
        pump_events();
        if (key_state != before || quit_seen) {
            return;
        }
        delay_ms(1);
    }
}

uint8_t keyboard_steer(const PlayerKeys& keys) {
    return static_cast<uint8_t>(
        (key_held(keys.left) ? steer_left : 0) | (key_held(keys.right) ? steer_right : 0) |
        (key_held(keys.up) ? steer_up : 0) | (key_held(keys.down) ? steer_down : 0));
}

uint8_t keyboard_match_keys() {
    // A pad's Start leaves a match as Escape does.
    const bool escape = key_state[key_escape] || key_state[key_pad_start];
    return static_cast<uint8_t>(
        (escape ? match_key_escape : 0) | (key_state[key_f1] ? match_key_f1 : 0) |
        (key_state[key_f2] ? match_key_f2 : 0) | (key_state[key_f11] ? match_key_f11 : 0) |
        (key_state[key_f12] ? match_key_f12 : 0));
}

bool quit_asked() {
    return quit_seen;
}

void quit_forget() {
    quit_seen = false;
}
