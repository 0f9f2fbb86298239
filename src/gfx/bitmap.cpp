#include "gfx/bitmap.h"

#include "gfx/display.h"
#include "platform/frame.h"
#include "platform/platform.h"

#include <algorithm>
#include <cstring>
#include <new>

int bitmap_create(Bitmap** out, int16_t width, int16_t height) {
    if (out == nullptr) {
        return 0;
    }
    *out = nullptr;
    if (width < 0 || height < 0) {
        return 0;
    }
    // Two spare rows beyond the height, as every user of a created bitmap may expect.
    uint32_t capacity = static_cast<uint32_t>(width) * (static_cast<uint32_t>(height) + 2);
    capacity = std::max<uint32_t>(capacity, 1);
    auto* pixels = new (std::nothrow) uint16_t[capacity];
    if (pixels == nullptr) {
        return 0;
    }
    *out =
        new Bitmap{static_cast<uint16_t>(width), static_cast<uint16_t>(height), pixels, capacity};
    return 1;
}

int bitmap_free(Bitmap* bitmap) {
    if (bitmap == nullptr) {
        return 0;
    }
    // Borrowed pixels belong to someone else (an archive entry, a strip of frames).
    if (bitmap->capacity > 0) {
        delete[] bitmap->pixels;
    }
    delete bitmap;
    return 1;
}

int bitmap_rows_readable(const Bitmap* bitmap) {
    if (bitmap->capacity == 0 || bitmap->width == 0) {
        return bitmap->height;
    }
    return static_cast<int>(std::min<uint32_t>(bitmap->height, bitmap->capacity / bitmap->width));
}

int bitmap_grab(Bitmap* bitmap, uint16_t x1, uint16_t y1, uint16_t x2, uint16_t y2) {
    if (bitmap == nullptr) {
        return 0;
    }
    bitmap->width = static_cast<uint16_t>(x2 - x1 + 1);
    bitmap->height = static_cast<uint16_t>(y2 - y1 + 1);
    if (y1 > y2 || x1 > x2 || display.draw_target == nullptr || bitmap->pixels == nullptr) {
        return 1;
    }
    // Only what lies on the draw target is copied, and only as far as the buffer reaches.
    int last_row = std::min<int>(y2, frame_height - 1);
    int last_column = std::min<int>(x2, frame_width - 1);
    int columns = last_column - x1 + 1;
    if (columns <= 0 || bitmap->capacity == 0) {
        return 1;
    }
    for (int y = y1; y <= last_row; y++) {
        size_t start = static_cast<size_t>(y - y1) * bitmap->width;
        if (start + static_cast<size_t>(columns) > bitmap->capacity) {
            break;
        }
        std::memcpy(bitmap->pixels + start, display.draw_target + y * frame_width + x1,
                    static_cast<size_t>(columns) * sizeof(uint16_t));
    }
    return 1;
}

int bitmap_put(const Bitmap* bitmap, uint16_t x, uint16_t y) {
    if (bitmap == nullptr) {
        return 0;
    }
    video_lock();
    if (display.draw_target != nullptr && bitmap->pixels != nullptr) {
        // Positions past 32767 are read as negative and clipped like the other edges.
        int left = static_cast<int16_t>(x);
        int top = static_cast<int16_t>(y);
        int first_row = std::max(0, -top);
        int end_row = std::min(bitmap_rows_readable(bitmap), frame_height - top);
        int first_column = std::max(0, -left);
        int end_column = std::min<int>(bitmap->width, frame_width - left);
        if (end_column > first_column) {
            size_t bytes = static_cast<size_t>(end_column - first_column) * sizeof(uint16_t);
            for (int r = first_row; r < end_row; r++) {
                std::memcpy(display.draw_target + (top + r) * frame_width + left + first_column,
                            bitmap->pixels + static_cast<size_t>(r) * bitmap->width + first_column,
                            bytes);
            }
        }
    }
    video_unlock();
    return 1;
}

int display_get_masks(uint32_t* red, uint32_t* green, uint32_t* blue) {
    // The back buffer is RGB555 whatever surface the platform converts it into.
    if (red != nullptr) {
        *red = rgb555_red_mask;
    }
    if (green != nullptr) {
        *green = rgb555_green_mask;
    }
    if (blue != nullptr) {
        *blue = rgb555_blue_mask;
    }
    return 1;
}
