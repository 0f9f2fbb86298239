#include "match/score_display.h"

#include <algorithm>
#include <array>

#include "gfx/bitmap.h"
#include "gfx/pictures.h"
#include "gfx/sprite.h"
#include "match/match_loop.h"
#include "match/sequences.h"

namespace {

constexpr int32_t marker_width = 10;
constexpr int32_t marker_height = 8;
constexpr int32_t markers_left = 70;
constexpr int32_t marker_spacing = 12;
constexpr int32_t bottom_markers_y = 191;

constexpr int32_t clock_left = 215;
constexpr int32_t clock_row_pixels = 101;
constexpr int32_t clock_rows = 8;
constexpr int32_t clock_left_cap = 9;
constexpr int32_t clock_right_cap = 8;

void marker_draw(int32_t frame, int32_t x, int32_t y) {
    *pictures.marker_view =
        strip_frame(pictures.score_marks, marker_width, frame, marker_height, marker_height);
    if (pictures.marker_view->height > 0) {
        bitmap_put_alpha(pictures.marker_view, static_cast<int16_t>(x), static_cast<int16_t>(y));
    }
}

// A pixel of the clock picture, black where a short picture has none.
uint16_t clock_pixel(int32_t row, int32_t column) {
    const Bitmap* clock = pictures.clock_image;
    if (row >= clock->height || column >= clock->width) {
        return 0;
    }
    return clock->pixels[row * clock->width + column];
}

} // namespace

void score_display() {
    const int32_t saved_threshold = alpha_threshold;
    alpha_threshold = 22;
    bitmap_put(pictures.top_score_save, markers_left, 0);
    bitmap_put(pictures.bottom_score_save, markers_left, 190);
    match.marker_frame += 1;
    if (match.marker_frame > marker_frames - 1) {
        match.marker_frame = 0;
    }
    int32_t bottom_frame = match.marker_frame + 15;
    if (bottom_frame > marker_frames - 1) {
        bottom_frame -= marker_frames;
    }
    for (int32_t i = 0; i < 5; ++i) {
        const int32_t x = markers_left + marker_spacing * i;
        if (match.side1_score > i) {
            marker_draw(match.marker_frame, x, 0);
        }
        if (match.side2_score > i) {
            marker_draw(bottom_frame, x, bottom_markers_y);
        }
    }
    alpha_threshold = saved_threshold;
}

void clock_display(int32_t cells) {
    const int32_t saved_threshold = alpha_threshold;
    alpha_threshold = 15;
    const int32_t lit = std::clamp(cells, 0, clock_cells);
    std::array<uint16_t, clock_row_pixels * clock_rows> work{};
    bitmap_put(pictures.clock_save, clock_left, 0);
    for (int32_t row = 0; row < clock_rows; ++row) {
        uint16_t* out = work.data() + row * clock_row_pixels;
        int32_t n = 0;
        for (int32_t c = 0; c < clock_left_cap; ++c) {
            out[n++] = clock_pixel(row, c);
        }
        for (int32_t c = 0; c < lit; ++c) {
            out[n++] = clock_pixel(row, clock_left_cap + c);
        }
        for (int32_t c = 0; c < clock_right_cap; ++c) {
            out[n++] = clock_pixel(row, clock_left_cap + clock_cells + c);
        }
        // The rest stays black, which the blended draw leaves transparent.
    }
    Bitmap bar{clock_row_pixels, clock_rows, work.data(), 0};
    bitmap_put_alpha(&bar, clock_left, 0);
    alpha_threshold = saved_threshold;
}
