#include "input/pads.h"

#include "input/input_record.h"

std::array<PadState, pad_max> pads{};

namespace {

constexpr uint8_t hat_up = 1;
constexpr uint8_t hat_right = 2;
constexpr uint8_t hat_down = 4;
constexpr uint8_t hat_left = 8;

int button_key(uint32_t button) {
    switch (button) {
    case pad_button_a:
        return key_pad_a;
    case pad_button_start:
        return key_pad_start;
    case pad_button_back:
        return key_pad_back;
    default:
        return 0;
    }
}

bool held(const PadState& pad, uint32_t button) {
    return (pad.buttons >> button) & 1u;
}

uint8_t stick_steer(const PadState& pad, int32_t dead_zone) {
    const int32_t edge = 32767 * dead_zone / 100;
    return static_cast<uint8_t>(
        (pad.axis_x < -edge ? steer_left : 0) | (pad.axis_x > edge ? steer_right : 0) |
        (pad.axis_y < -edge ? steer_up : 0) | (pad.axis_y > edge ? steer_down : 0));
}

uint8_t dpad_steer(const PadState& pad) {
    return static_cast<uint8_t>(
        ((pad.hat & hat_left) || held(pad, pad_button_dpad_left) ? steer_left : 0) |
        ((pad.hat & hat_right) || held(pad, pad_button_dpad_right) ? steer_right : 0) |
        ((pad.hat & hat_up) || held(pad, pad_button_dpad_up) ? steer_up : 0) |
        ((pad.hat & hat_down) || held(pad, pad_button_dpad_down) ? steer_down : 0));
}

} // namespace

int pad_event_take(const PlatformEvent& event, bool* pressed) {
    if (event.pad >= pad_max) {
        return 0;
    }
    PadState& pad = pads[event.pad];
    switch (event.type) {
    case PlatformEventType::pad_axis:
        // The left stick; the right one and the triggers do nothing.
        if (event.control == 0) {
            pad.axis_x = event.value;
        } else if (event.control == 1) {
            pad.axis_y = event.value;
        }
        return 0;
    case PlatformEventType::pad_hat:
        if (event.control == 0) {
            pad.hat = static_cast<uint8_t>(event.value);
        }
        return 0;
    case PlatformEventType::pad_button_down:
    case PlatformEventType::pad_button_up:
        break;
    default:
        return 0;
    }
    *pressed = event.type == PlatformEventType::pad_button_down;
    if (event.symbol < 32) {
        const uint32_t bit = 1u << event.symbol;
        pad.buttons = *pressed ? pad.buttons | bit : pad.buttons & ~bit;
    }
    return button_key(event.symbol);
}

uint8_t pad_steer(int32_t pad, int32_t dead_zone) {
    if (pad < 0 || pad >= pad_max) {
        return 0;
    }
    return stick_steer(pads[pad], dead_zone) | dpad_steer(pads[pad]);
}
