#include "app/keyboard.h"

#include "app/utility.h"
#include "platform/events.h"

#include <algorithm>

std::array<uint8_t, key_count> key_state{};

void pump_events() {
    KeyEvent event;
    while (events_poll(&event)) {
        uint32_t index = event.symbol % key_count;
        if (event.pressed) {
            debug_log("SDL key code :%d\n", static_cast<int>(index));
            key_state[index] = 1;
        } else {
            key_state[index] = 0;
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
        if (count_held_keys() == 0) {
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
        if (key_state != before) {
            return;
        }
        delay_ms(1);
    }
}
