#include "field/body.h"

#include "field/random.h"
#include "field/screen_area.h"
#include "gfx/bitmap.h"
#include "gfx/pictures.h"

Field field;

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

void body_fill_template(const Bitmap* image, double vx, double vy, double x, uint8_t side,
                        uint8_t kind) {
    Body& t = field.body_template;
    t.image = image;
    t.vx = vx;
    t.vy = vy;
    t.x = x;
    t.y = 90.0;
    t.side = side;
    t.kind = kind;
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
    body->id = field.body_count + 1;
    body->save_under = save_under_create(templ.image);
    body->prev_x = body->x;
    body->prev_y = body->y;
    body->last_partner = nullptr;
    body->prev = field.body_tail;
    body->next = nullptr;
    if (field.body_tail == nullptr) {
        field.body_head = body;
    } else {
        field.body_tail->next = body;
    }
    field.body_tail = body;
    field.body_count += 1;
    body_save_background(body);
}

void body_list_reset() {
    field.body_head = nullptr;
    field.body_tail = nullptr;
    field.body_count = 0;
    field.bodies_live = 1;
}

void body_list_free() {
    if (field.body_head == nullptr) {
        return;
    }
    Body* body = field.body_head;
    while (body != nullptr) {
        Body* next = body->next;
        bitmap_free(body->save_under);
        delete body;
        body = next;
    }
    field.body_head = nullptr;
    field.body_tail = nullptr;
    field.body_count = 0;
    field.bodies_live = 0;
}

// Tail first: a later body's save-under may hold an earlier body drawn in the same frame.
void bodies_restore_backgrounds() {
    for (Body* body = field.body_tail; body != nullptr; body = body->prev) {
        area_put(body->save_under, position_trunc(body->prev_x), position_trunc(body->prev_y));
        body->prev_x = body->x;
        body->prev_y = body->y;
    }
}

void kick_off() {
    body_fill_template(pictures.red_image, 0.5, 0.5, 80.0, 1, Player);
    body_create(field.body_template);
    body_fill_template(pictures.green_image, -0.5, 0.5, 240.0, 2, Player);
    body_create(field.body_template);
    // Drawn in this order, vx first; the products are single precision.
    const int32_t r1 = random_below(100);
    const double vx = 0.5 - r1 * 0.01f;
    const int32_t r2 = random_below(100);
    const double vy = 0.5 - r2 * 0.01f;
    body_fill_template(pictures.ball_image, vx, vy, 160.0, 0, Ball);
    body_create(field.body_template);
}
