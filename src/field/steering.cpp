#include "field/steering.h"

#include "app/keyboard.h"
#include "field/body.h"

namespace {

constexpr double steer_step = 0.1;
constexpr float speed_limit = 3.5f;

// Codes outside the key table (-1 for none, or a redefined code too large) are never held.
bool key_held(int16_t code) {
    return code >= 0 && code < key_count && key_state[code] != 0;
}

double speed_clamp(double v) {
    if (v > speed_limit) {
        v = speed_limit;
    }
    if (v < -speed_limit) {
        v = -speed_limit;
    }
    return v;
}

} // namespace

void body_steer(Body* body) {
    if (key_held(body->key_left)) {
        body->vx = body->vx - steer_step;
    }
    if (key_held(body->key_right)) {
        body->vx = body->vx + steer_step;
    }
    if (key_held(body->key_up)) {
        body->vy = body->vy - steer_step;
    }
    if (key_held(body->key_down)) {
        body->vy = body->vy + steer_step;
    }
    body->vx = speed_clamp(body->vx);
    body->vy = speed_clamp(body->vy);
}
