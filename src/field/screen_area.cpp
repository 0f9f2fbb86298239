#include "field/screen_area.h"

#include <algorithm>

#include "gfx/bitmap.h"
#include "gfx/sprite.h"
#include "platform/frame.h"

namespace {
constexpr double position_limit = 1.0e6;
} // namespace

int32_t position_trunc(double value) {
    if (!(value > -position_limit)) { // NaN lands here too
        return static_cast<int32_t>(-position_limit);
    }
    if (value > position_limit) {
        return static_cast<int32_t>(position_limit);
    }
    return static_cast<int32_t>(value);
}

void area_grab(Bitmap* save, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    if (save == nullptr) {
        return;
    }
    const int32_t cx1 = std::max(x1, 0);
    const int32_t cy1 = std::max(y1, 0);
    const int32_t cx2 = std::min(x2, frame_width - 1);
    const int32_t cy2 = std::min(y2, frame_height - 1);
    const int64_t need = static_cast<int64_t>(cx2 - cx1 + 1) * (cy2 - cy1 + 1);
    if (cx1 > cx2 || cy1 > cy2 || (save->capacity != 0 && need > save->capacity)) {
        save->width = 0;
        save->height = 0;
        return;
    }
    bitmap_grab(save, static_cast<uint16_t>(cx1), static_cast<uint16_t>(cy1),
                static_cast<uint16_t>(cx2), static_cast<uint16_t>(cy2));
}

void area_put(const Bitmap* save, int32_t x, int32_t y) {
    if (save == nullptr || save->width == 0 || save->height == 0) {
        return;
    }
    const int32_t cx = std::max(x, 0);
    const int32_t cy = std::max(y, 0);
    if (cx >= frame_width || cy >= frame_height) {
        return;
    }
    bitmap_put(save, static_cast<uint16_t>(cx), static_cast<uint16_t>(cy));
}

void sprite_draw(const Bitmap* image, int32_t x, int32_t y) {
    if (image == nullptr || image->width == 0 || image->height == 0) {
        return;
    }
    if (x < 0 || y < 0 || x >= frame_width || y >= frame_height) {
        return;
    }
    bitmap_put_alpha(image, static_cast<int16_t>(x), static_cast<int16_t>(y));
}
