#pragma once
// One frame of a match as the players and the clock drive it. The keyboard, a gamepad, the
// computer player, a recording and the other side of a network match all produce these; the
// match reads exactly one per frame.
#include <cstdint>

// Steering bits of one side.
constexpr uint8_t steer_left = 1;
constexpr uint8_t steer_right = 2;
constexpr uint8_t steer_up = 4;
constexpr uint8_t steer_down = 8;
constexpr uint8_t steer_all = 15;

// The keys a match reacts to besides steering.
constexpr uint8_t match_key_escape = 1;
constexpr uint8_t match_key_f1 = 2;
constexpr uint8_t match_key_f2 = 4;
constexpr uint8_t match_key_f11 = 8;
constexpr uint8_t match_key_f12 = 16;
constexpr uint8_t match_key_all = 31;

constexpr int input_sides = 2;

struct InputRecord {
    uint8_t steer[input_sides]; // [0] side 1 (red), [1] side 2 (green)
    uint8_t keys;
    int32_t elapsed_ms; // how far this frame moves the bodies and the clock

    bool operator==(const InputRecord&) const = default;
};
