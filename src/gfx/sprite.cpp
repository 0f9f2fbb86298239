#include "gfx/sprite.h"

#include "gfx/bitmap.h"
#include "gfx/display.h"

#include <algorithm>
#include <vector>

int32_t alpha_threshold = 15;

namespace {

// Channel levels on the common 0..63 scale.
struct Levels {
    int red;
    int green;
    int blue;
};

Levels pixel_levels(uint16_t pixel, const PixelFormat& format) {
    int green = (pixel >> format.green_shift) & format.green_max;
    green = format.green_bits <= 6 ? green << (6 - format.green_bits)
                                   : green >> (format.green_bits - 6);
    return Levels{((pixel >> format.red_shift) & format.red_max) * 2, green,
                  ((pixel >> format.blue_shift) & format.blue_max) * 2};
}

// The strictly greatest level weighs the blend; without one, red does.
int blend_weight(const Levels& levels) {
    if (levels.red > levels.green && levels.red > levels.blue) {
        return levels.red;
    }
    if (levels.green > levels.red && levels.green > levels.blue) {
        return levels.green;
    }
    if (levels.blue > levels.red && levels.blue > levels.green) {
        return levels.blue;
    }
    return levels.red;
}

uint32_t blend_channel(uint32_t source, uint32_t target, uint32_t mask, int weight) {
    uint32_t part = (((target & mask) * static_cast<uint32_t>(64 - weight)) >> 6) +
                    (((source & mask) * static_cast<uint32_t>(weight)) >> 6);
    return part & mask;
}

uint16_t pixel_alpha(uint16_t source, uint16_t target, int threshold, const PixelFormat& format) {
    Levels levels = pixel_levels(source, format);
    if (levels.red > threshold || levels.green > threshold || levels.blue > threshold) {
        return source;
    }
    int weight = std::min(blend_weight(levels), 64);
    return static_cast<uint16_t>(blend_channel(source, target, format.blue_mask, weight) |
                                 blend_channel(source, target, format.green_mask, weight) |
                                 blend_channel(source, target, format.red_mask, weight));
}

// Zero bytes of the source keep the target's byte: a zero pixel is fully transparent.
uint16_t pixel_bytewise(uint16_t source, uint16_t target) {
    if ((source & 0x00FF) != 0) {
        target = static_cast<uint16_t>((target & 0xFF00) | (source & 0x00FF));
    }
    if ((source & 0xFF00) != 0) {
        target = static_cast<uint16_t>((target & 0x00FF) | (source & 0xFF00));
    }
    return target;
}

} // namespace

int bitmap_put_alpha(const Bitmap* bitmap, int16_t x, int16_t y) {
    if (bitmap == nullptr) {
        return 0;
    }
    // Nothing at all is drawn at a negative position, not even the part that would show.
    if (display.draw_target == nullptr || bitmap->pixels == nullptr || x < 0 || y < 0) {
        return 1;
    }
    int rows = std::min(bitmap_rows_readable(bitmap), frame_height - y);
    int columns = std::min<int>(bitmap->width, frame_width - x);
    const PixelFormat format = display.pixel_format;
    const int threshold = alpha_threshold;
    for (int r = 0; r < rows; r++) {
        const uint16_t* source = bitmap->pixels + static_cast<size_t>(r) * bitmap->width;
        uint16_t* target = display.draw_target + (y + r) * frame_width + x;
        for (int c = 0; c < columns; c++) {
            target[c] = pixel_alpha(source[c], target[c], threshold, format);
        }
    }
    return 1;
}

void bitmap_put_scaled(const Bitmap* bitmap, int out_width, int out_height, int x, int y,
                       uint16_t* destination) {
    if (bitmap == nullptr || bitmap->pixels == nullptr || destination == nullptr ||
        out_height < 1 || out_width < 1) {
        return;
    }
    double x_step = bitmap->width / (out_width + 1.0);
    double y_step = bitmap->height / (out_height + 1.0);
    // The running column sum restarts every row, so the source columns are the same for all.
    std::vector<int> source_columns(static_cast<size_t>(out_width));
    double column_sum = 0;
    for (int& column : source_columns) {
        column_sum += x_step;
        column = static_cast<int>(column_sum);
    }
    const int rows_readable = bitmap_rows_readable(bitmap);
    double row_sum = 0;
    for (int r = 0; r < out_height; r++) {
        row_sum += y_step;
        int source_row = static_cast<int>(row_sum);
        int target_row = y + r;
        if (target_row < 0 || target_row >= frame_height || source_row >= rows_readable) {
            continue;
        }
        const uint16_t* source = bitmap->pixels + static_cast<size_t>(source_row) * bitmap->width;
        uint16_t* target = destination + target_row * frame_width;
        int first = std::max(0, -x);
        int end = std::min(out_width, frame_width - x);
        for (int c = first; c < end; c++) {
            int source_column = source_columns[static_cast<size_t>(c)];
            if (source_column < bitmap->width) {
                target[x + c] = pixel_bytewise(source[source_column], target[x + c]);
            }
        }
    }
}

void bitmap_zoom_in(const Bitmap* bitmap, int x, int y, int erase_after) {
    if (bitmap == nullptr) {
        return;
    }
    const int width = bitmap->width;
    const int height = bitmap->height;
    const int half = (height + 1) / 2;
    // One row more than half above the centre: with an even height the last frames start
    // there. The saved area is cut to the screen.
    const int left = std::max(x, 0);
    const int top = std::max(y - half - 1, 0);
    const int right = std::min(x + width + 1, frame_width - 1);
    const int bottom = std::min(y + half, frame_height - 1);
    Bitmap* save = nullptr;
    if (left <= right && top <= bottom) {
        bitmap_create(&save, static_cast<int16_t>(right - left + 1),
                      static_cast<int16_t>(bottom - top + 1));
        bitmap_grab(save, static_cast<uint16_t>(left), static_cast<uint16_t>(top),
                    static_cast<uint16_t>(right), static_cast<uint16_t>(bottom));
    }
    for (int step = 0; step < width + 1; step += 3) {
        bitmap_put(save, static_cast<uint16_t>(left), static_cast<uint16_t>(top));
        double scaled_height = static_cast<double>(step) / (width + 1) * (height + 1);
        bitmap_put_scaled(bitmap, step, static_cast<int>(scaled_height), x + (width - step + 1) / 2,
                          static_cast<int>(y - scaled_height * 0.5), display.draw_target);
        display_present(display.draw_target);
    }
    if (erase_after != 0) {
        bitmap_put(save, static_cast<uint16_t>(left), static_cast<uint16_t>(top));
    }
    bitmap_free(save);
}
