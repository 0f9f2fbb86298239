#include "field/collision.h"

#include <utility>

#include "field/body.h"
#include "field/screen_area.h"
#include "gfx/bitmap.h"

namespace {

// Self's box, shrunk by 2 pixels on every side, must overlap the other's full box.
bool bodies_touch(int32_t xi, int32_t yi, int32_t w, int32_t h, const Body* other) {
    const double ow = other->image->width;
    const double oh = other->image->height;
    return xi + w - 2 > other->x && other->x + ow > xi + 2 && yi + h - 2 > other->y &&
           other->y + oh > yi + 2;
}

bool body_can_hit(const Body* self, const Body* other) {
    return other->kind == Ball || (other->kind == Player && self->kind == Ball);
}

bool contact_known(const Body* self, const Body* other) {
    if (self->id < 0 || self->id >= contact_ids || other->id < 0 || other->id >= contact_ids) {
        return true; // outside the matrix: never exchange
    }
    return field.contact_matrix[self->id + contact_ids * other->id] != 0;
}

void bodies_exchange(Body* self, Body* other) {
    self->last_partner = other;
    std::swap(self->vx, other->vx);
    std::swap(self->vy, other->vy);
    field.contact_matrix[self->id + contact_ids * other->id] = 1;
    field.skip_next_collision = 1;
}

} // namespace

void contact_matrix_clear() {
    field.contact_matrix.fill(0);
}

bool body_collide(Body* self) {
    const int32_t n = field.body_count - 1;
    const int32_t w = self->image->width;
    const int32_t h = self->image->height;
    const int32_t xi = position_trunc(self->x);
    const int32_t yi = position_trunc(self->y);
    bool found = false;
    // Positions 1 .. n of the list, whatever self's place: the tail is never looked at.
    Body* other = field.body_head;
    for (int32_t i = 0; i < n && other != nullptr; ++i, other = other->next) {
        if (!bodies_touch(xi, yi, w, h, other) || contact_known(self, other) ||
            !body_can_hit(self, other)) {
            continue;
        }
        found = true;
        if (other == self->last_partner) {
            continue;
        }
        bodies_exchange(self, other);
        return true;
    }
    if (!found) {
        self->last_partner = nullptr;
    }
    return false;
}
