#pragma once
// One frame of the pitch: erase, plasma, then save, draw, move, collide and goal-test each body.
#include <cstdint>

struct Body;

// Goal codes: the ball left through the bottom opening (side 1) or the top opening (side 2).
constexpr int32_t goal_none = 0;
constexpr int32_t goal_side1 = 1;
constexpr int32_t goal_side2 = 2;

int32_t field_update(int32_t elapsed_ms);
void body_move(Body* body, double dx, double dy);
int32_t goal_test(const Body* body);
