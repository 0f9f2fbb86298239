#include "field/body.h"

#include "app/game_settings.h"
#include "app/utility.h"
#include "field/screen_area.h"
#include "gfx/bitmap.h"
#include "match/setup.h"

Body* body_head = nullptr;
Body* body_tail = nullptr;
int32_t body_count = 0;
int32_t bodies_live = 0;
Body body_template = {};

namespace {

// Room for (w + 1) x (h + 1) pixels: the save-under reaches one column and one row beyond.
Bitmap* save_under_create(const Bitmap* image) {
    const int16_t w = static_cast<int16_t>(image->width + 1);
    const int16_t h = static_cast<int16_t>(image->height + 1);
    Bitmap* save = nullptr;
    if (!bitmap_create(&save, w, h)) {
        return nullptr;
    }
    save->width = image->width;
    save->height = image->height;
    return save;
}

void body_fill_template(Bitmap* image, double vx, double vy, double x, const PlayerKeys* keys,
                        uint8_t kind) {
    body_template.image = image;
    body_template.vx = vx;
    body_template.vy = vy;
    body_template.x = x;
    body_template.y = 90.0;
    body_template.key_left = static_cast<int16_t>(keys ? keys->left : -1);
    body_template.key_right = static_cast<int16_t>(keys ? keys->right : -1);
    body_template.key_up = static_cast<int16_t>(keys ? keys->up : -1);
    body_template.key_down = static_cast<int16_t>(keys ? keys->down : -1);
    body_template.kind = kind;
}

} // namespace

void body_save_background(Body* body) {
    if (body->save_under == nullptr) {
        return;
    }
    const int32_t xi = position_trunc(body->x);
    const int32_t yi = position_trunc(body->y);
    area_grab(body->save_under, xi, yi, xi + body->image->width, yi + body->image->height);
}

void body_create(Body templ) {
    Body* body = new Body{templ};
    body->id = body_count + 1;
    body->save_under = save_under_create(templ.image);
    body->prev_x = body->x;
    body->prev_y = body->y;
    body->last_partner = nullptr;
    body->prev = body_tail;
    body->next = nullptr;
    if (body_tail == nullptr) {
        body_head = body;
    } else {
        body_tail->next = body;
    }
    body_tail = body;
    body_count += 1;
    body_save_background(body);
}

void body_list_reset() {
    body_head = nullptr;
    body_tail = nullptr;
    body_count = 0;
    bodies_live = 1;
}

void body_list_free() {
    if (body_head == nullptr) {
        return;
    }
    Body* body = body_head;
    while (body != nullptr) {
        Body* next = body->next;
        bitmap_free(body->save_under);
        delete body;
        body = next;
    }
    body_head = nullptr;
    body_tail = nullptr;
    body_count = 0;
    bodies_live = 0;
}

// Tail first: a later body's save-under may hold an earlier body drawn in the same frame.
void bodies_restore_backgrounds() {
    for (Body* body = body_tail; body != nullptr; body = body->prev) {
        area_put(body->save_under, position_trunc(body->prev_x), position_trunc(body->prev_y));
        body->prev_x = body->x;
        body->prev_y = body->y;
    }
}

void kick_off() {
    body_fill_template(red_image, 0.5, 0.5, 80.0, &red_keys, Player);
    body_create(body_template);
    body_fill_template(green_image, -0.5, 0.5, 240.0, &green_keys, Player);
    body_create(body_template);
    // Drawn in this order, vx first; the products are single precision.
    const int32_t r1 = random_below(100);
    const double vx = 0.5 - r1 * 0.01f;
    const int32_t r2 = random_below(100);
    const double vy = 0.5 - r2 * 0.01f;
    body_fill_template(ball_image, vx, vy, 160.0, nullptr, Ball);
    body_create(body_template);
}
