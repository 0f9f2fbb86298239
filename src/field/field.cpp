#include "field/field.h"

#include "field/body.h"
#include "field/collision.h"
#include "field/plasma.h"
#include "field/random.h"
#include "field/screen_area.h"
#include "gfx/bitmap.h"
#include "settings/game_settings.h"

namespace {

constexpr int32_t left_bound = 8;
constexpr int32_t top_bound = 16;
constexpr int32_t right_wall = 311;
constexpr int32_t bottom_wall = 183;
constexpr int32_t left_post = 136;
constexpr int32_t right_post = 184;

bool ball_in_opening(const Body* body, int32_t w) {
    return body->kind == Ball && body->x >= left_post && body->x + w <= right_post;
}

// Where a move of d from pos ends after bouncing off limit.
double mirror(double limit, double pos, double d) {
    return 2.0 * limit - pos - d;
}

// A ball inside an opening meets the posts instead of the side walls.
bool body_post_check(Body* body, int32_t w, double& dx) {
    const double nx = body->x + dx;
    if (nx < left_post) {
        body->x = mirror(left_post, body->x, dx);
    } else if (nx > right_post - w) {
        body->x = mirror(right_post - w, body->x, dx);
    } else {
        return false;
    }
    body->vx = -body->vx;
    dx = 0;
    return true;
}

bool body_move_vertical(Body* body, int32_t w, int32_t h, double& dx, double dy) {
    const double ny = body->y + dy;
    const bool past_bottom = ny > bottom_wall - h;
    if (!past_bottom && !(ny < top_bound)) {
        body->y = ny;
        return false;
    }
    if (ball_in_opening(body, w)) {
        body->y = ny;
        return body_post_check(body, w, dx);
    }
    body->y = past_bottom ? mirror(bottom_wall - h, body->y, dy) : mirror(top_bound, body->y, dy);
    body->vy = -body->vy;
    return true;
}

bool body_move_horizontal(Body* body, int32_t w, double dx) {
    const double nx = body->x + dx;
    if (nx > right_wall - w) {
        body->x = mirror(right_wall - w, body->x, dx);
    } else if (nx < left_bound) {
        body->x = mirror(left_bound, body->x, dx);
    } else {
        body->x = nx;
        return false;
    }
    body->vx = -body->vx;
    return true;
}

void event_add(FieldEvents* events, FieldSound sound) {
    if (events != nullptr && events->count < FieldEvents::capacity) {
        events->sounds[events->count++] = sound;
    }
}

void body_draw(Body* body) {
    body_save_background(body);
    sprite_draw(body->image, position_trunc(body->x), position_trunc(body->y));
}

} // namespace

bool body_move(Body* body, double dx, double dy) {
    const int32_t w = body->image->width;
    const int32_t h = body->image->height;
    const bool bounced_vertically = body_move_vertical(body, w, h, dx, dy);
    const bool bounced_horizontally = body_move_horizontal(body, w, dx);
    if (!bounced_vertically && !bounced_horizontally) {
        return false;
    }
    body->vx += (random_below(3) - 1) * 0.02f;
    body->vy += (random_below(3) - 1) * 0.02f;
    return true;
}

int32_t goal_test(const Body* body) {
    if (body->kind != Ball) {
        return goal_none;
    }
    if (body->y < 0) {
        return goal_side2;
    }
    if (body->y + body->image->height > 200) {
        return goal_side1;
    }
    return goal_none;
}

int32_t field_update(int32_t elapsed_ms, int32_t frame_counter, FieldEvents* events) {
    bodies_restore_backgrounds();
    if (frame_counter % 10 == 0) {
        plasma_palette_update();
    }
    if (frame_counter % 2 == 0 && game_settings.plasma_disabled == 0) {
        plasma_compute();
        plasma_blit();
    }
    contact_matrix_clear();
    const double elapsed = elapsed_ms;
    const double speed = game_settings.game_speed;
    int32_t result = goal_none;
    for (Body* body = field.body_head; body != nullptr; body = body->next) {
        body_draw(body);
        const double dy = elapsed * body->vy * speed * 0.1;
        const double dx = elapsed * body->vx * speed * 0.1;
        if (body_move(body, dx, dy)) {
            event_add(events, FieldSound::bounce);
        }
        if (field.skip_next_collision) {
            field.skip_next_collision = 0;
        } else if (body_collide(body)) {
            event_add(events, FieldSound::collision);
        }
        const int32_t goal = goal_test(body);
        if (goal != goal_none) {
            result = goal;
        }
    }
    return result;
}
