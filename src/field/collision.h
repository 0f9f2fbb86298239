#pragma once
// Ball-player contacts: the two exchange their velocities, once per contact.
#include <array>
#include <cstdint>

struct Body;

constexpr int32_t contact_ids = 100;

// [a + 100 * b] is 1 when body a, scanning, exchanged with body b in this frame.
extern std::array<uint8_t, contact_ids * contact_ids> contact_matrix;
// Set by an exchange; the field update then skips the next body's collision step.
extern int32_t skip_next_collision;

void contact_matrix_clear();
void body_collide(Body* self);
