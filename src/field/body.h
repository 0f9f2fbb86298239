#pragma once
// Everything that moves on the pitch, in one list: red player, green player, ball.
#include <array>
#include <cstdint>

struct Bitmap;

enum BodyKind : uint8_t {
    Ball = 1,
    Player = 2,
};

struct Body {
    int32_t id;
    const Bitmap* image;
    Bitmap* save_under;
    double vx;
    double vy;
    double x;
    double y;
    double prev_x;
    double prev_y;
    Body* last_partner;
    // Whose steering pushes it: 1 red, 2 green, 0 nobody (the ball).
    uint8_t side;
    uint8_t kind;
    Body* next;
    Body* prev;
};

// Ids stay below this: the contact matrix has a row and a column per id.
constexpr int32_t contact_ids = 100;

// The bodies and what they touched this frame.
struct Field {
    Body* body_head = nullptr;
    Body* body_tail = nullptr;
    int32_t body_count = 0;
    int32_t bodies_live = 0;
    Body body_template{};
    // [a + 100 * b] is 1 when body a, scanning, exchanged with body b in this frame.
    std::array<uint8_t, contact_ids * contact_ids> contact_matrix{};
    // Set by an exchange; the field update then skips the next body's collision step.
    int32_t skip_next_collision = 0;
};

extern Field field;

void body_create(Body templ);
void body_list_reset();
void body_list_free();
void bodies_restore_backgrounds();
void kick_off();
// Takes a body's save-under at its current position (clipped to the screen).
void body_save_background(Body* body);
