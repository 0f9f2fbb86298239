#pragma once
// Which keys are held, indexed by SDL 1.2 key symbol modulo 512, and the frame's keyboard input.
#include "input/input_record.h"

#include <array>
#include <cstdint>

struct PlayerKeys;

constexpr int key_count = 512;
constexpr int key_escape = 27;
constexpr int key_f1 = 282;
constexpr int key_f2 = 283;
constexpr int key_f11 = 292;
constexpr int key_f12 = 293;

extern std::array<uint8_t, key_count> key_state;

void pump_events();
int32_t count_held_keys();
// Both waits also end once the program is asked to end.
void wait_keys_released();
void wait_key_change();

// True once the window's close button, SIGINT or SIGTERM asked the program to end: every wait
// and loop then winds down to program_exit.
bool quit_asked();
// Forgets it (tests that go on after one).
void quit_forget();

// The steering bits the held keys give one side, and the match keys held.
uint8_t keyboard_steer(const PlayerKeys& keys);
uint8_t keyboard_match_keys();
