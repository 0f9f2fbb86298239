#include "field/steering.h"

#include "field/body.h"
#include "input/input_record.h"

namespace {

constexpr double steer_step = 0.1;
constexpr float speed_limit = 3.5f;

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

void body_steer(Body* body, uint8_t bits) {
    if (bits & steer_left) {
        body->vx = body->vx - steer_step;
    }
    if (bits & steer_right) {
        body->vx = body->vx + steer_step;
    }
    if (bits & steer_up) {
        body->vy = body->vy - steer_step;
    }
    if (bits & steer_down) {
        body->vy = body->vy + steer_step;
    }
    body->vx = speed_clamp(body->vx);
    body->vy = speed_clamp(body->vy);
}
