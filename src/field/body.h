#pragma once
// Everything that moves on the pitch, in one list: red player, green player, ball.
#include <cstdint>

struct Bitmap;

enum BodyKind : uint8_t {
    Ball = 1,
    Player = 2,
};

struct Body {
    int32_t id;
    Bitmap* image;
    Bitmap* save_under;
    double vx;
    double vy;
    double x;
    double y;
    double prev_x;
    double prev_y;
    Body* last_partner;
    int16_t key_left;
    int16_t key_right;
    int16_t key_up;
    int16_t key_down;
    uint8_t kind;
    Body* next;
    Body* prev;
};

extern Body* body_head;
extern Body* body_tail;
extern int32_t body_count;
extern int32_t bodies_live;
extern Body body_template;

void body_create(Body templ);
void body_list_reset();
void body_list_free();
void bodies_restore_backgrounds();
void kick_off();
// Takes a body's save-under at its current position (clipped to the screen).
void body_save_background(Body* body);
