#pragma once
// Player control: each held direction pushes the velocity once per frame, within a speed limit.
#include <cstdint>

struct Body;

// bits: steer_left, steer_right, steer_up and steer_down of the body's side (0 for the ball).
void body_steer(Body* body, uint8_t bits);
