#pragma once
// One frame of the pitch: erase, plasma, then save, draw, move, collide and goal-test each body.
#include <cstdint>

struct Body;

// Goal codes: the ball left through the bottom opening (side 1) or the top opening (side 2).
constexpr int32_t goal_none = 0;
constexpr int32_t goal_side1 = 1;
constexpr int32_t goal_side2 = 2;

enum class FieldSound : uint8_t { bounce, collision };

// What a frame's update did that the caller makes heard.
struct FieldEvents {
    static constexpr int capacity = 16;
    FieldSound sounds[capacity];
    int count = 0;
};

// The goal code of the frame; the sounds it made go to events when given.
int32_t field_update(int32_t elapsed_ms, int32_t frame_counter, FieldEvents* events = nullptr);
// True when the body bounced off a wall or a post.
bool body_move(Body* body, double dx, double dy);
int32_t goal_test(const Body* body);
