#pragma once
// Gamepads: what each is holding, and the steering it gives. The d-pad (as a hat, or as the
// controller buttons 11 to 14) and the left stick (axes 0 and 1) both steer.
#include "platform/platform.h"

#include <array>
#include <cstdint>

constexpr int pad_max = 8;

// Controller buttons as sdl12-compat numbers them for a game controller.
constexpr uint32_t pad_button_a = 0;
constexpr uint32_t pad_button_back = 4;
constexpr uint32_t pad_button_start = 6;
constexpr uint32_t pad_button_dpad_up = 11;
constexpr uint32_t pad_button_dpad_down = 12;
constexpr uint32_t pad_button_dpad_left = 13;
constexpr uint32_t pad_button_dpad_right = 14;

// The key a pad's button acts as: A and Start start a match from the title (like any key), Start
// in a match and Back on the title act as Escape. They sit above every keyboard key.
constexpr int key_pad_a = 509;
constexpr int key_pad_start = 510;
constexpr int key_pad_back = 511;

struct PadState {
    int16_t axis_x = 0;
    int16_t axis_y = 0;
    uint8_t hat = 0;      // SDL's bits: up 1, right 2, down 4, left 8
    uint32_t buttons = 0; // bit n: button n held
};

extern std::array<PadState, pad_max> pads;

// Takes a pad event into the pads' state; the key it acts as, when it is a button that acts as
// one (0 otherwise), with pressed set.
int pad_event_take(const PlatformEvent& event, bool* pressed);
// The steering bits a pad gives; none for pad_none or a pad that is not there. The stick counts
// past dead_zone percent of its throw.
uint8_t pad_steer(int32_t pad, int32_t dead_zone);
