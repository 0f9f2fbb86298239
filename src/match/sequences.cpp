#include "match/sequences.h"

#include <algorithm>

#include "field/body.h"
#include "field/screen_area.h"
#include "gfx/bitmap.h"
#include "gfx/display.h"
#include "gfx/pictures.h"
#include "gfx/sprite.h"
#include "input/keyboard.h"
#include "match/match_loop.h"

namespace {

constexpr int32_t anim_frames = 30;
constexpr int32_t anim_step = 32;
constexpr int32_t anim_rows = 34;
constexpr int32_t anim_a_width = 43;
constexpr int32_t anim_b_width = 31;

void strip_frame_draw(const Bitmap* strip, int32_t width, int32_t k, int32_t x, int32_t y) {
    const Bitmap frame = strip_frame(strip, width, k, anim_step, anim_rows);
    sprite_draw(&frame, x, y);
}

void end_wait(const MatchInput& input) {
    if (input.end_wait != nullptr) {
        input.end_wait(input.context);
    } else {
        wait_key_change();
    }
}

} // namespace

GoalAreas goal_areas(double red_x, double red_y, double green_x, double green_y) {
    return {position_trunc(red_x) - 3, position_trunc(red_y) - 11, position_trunc(green_x) - 11,
            position_trunc(green_y) - 8};
}

Bitmap strip_frame(const Bitmap* strip, int32_t width, int32_t k, int32_t step, int32_t rows) {
    const int64_t total = static_cast<int64_t>(strip->width) * strip->height;
    const int64_t start = static_cast<int64_t>(k) * step * width;
    const int64_t fit = std::clamp<int64_t>((total - start) / width, 0, rows);
    return Bitmap{static_cast<uint16_t>(width), static_cast<uint16_t>(fit),
                  fit > 0 ? strip->pixels + start : strip->pixels, 0};
}

void time_up_scores(int32_t& side1, int32_t& side2) {
    if (side1 > side2) {
        side1 = 5;
    } else if (side1 < side2) {
        side2 = 5;
    } else {
        side1 = 5;
        side2 = 5;
    }
}

void goal_animation() {
    const int32_t saved_threshold = alpha_threshold;
    alpha_threshold = 22;
    Bitmap* save_a = nullptr;
    Bitmap* save_b = nullptr;
    bitmap_create(&save_a, 42, 34);
    bitmap_create(&save_b, 33, 34);
    const Body* red = field.body_head;
    const Body* green = red->next;
    const GoalAreas at = goal_areas(red->x, red->y, green->x, green->y);
    area_grab(save_a, at.ax, at.ay, std::min(at.ax + 42, 319), at.ay + 34);
    area_grab(save_b, at.bx, at.by, std::min(at.bx + 31, 319), at.by + 34);
    for (int32_t k = 0; k < anim_frames; ++k) {
        area_put(save_a, at.ax, at.ay);
        area_put(save_b, at.bx, at.by);
        strip_frame_draw(pictures.goal_anim_a, anim_a_width, k, at.ax, at.ay);
        strip_frame_draw(pictures.goal_anim_b, anim_b_width, k, at.bx, at.by);
        display_present(display.back_buffer);
    }
    alpha_threshold = saved_threshold;
    bitmap_free(save_a);
    bitmap_free(save_b);
}

void time_up() {
    time_up_scores(match.side1_score, match.side2_score);
    bodies_restore_backgrounds();
    Bitmap* snapshot = nullptr;
    bitmap_create(&snapshot, 320, 200);
    bitmap_grab(snapshot, 0, 0, 319, 199);
    bitmap_zoom_in(pictures.time_up_picture_a, 80, 50, 0);
    bitmap_zoom_in(pictures.time_up_picture_b, 100, 80, 0);
    bitmap_put(snapshot, 0, 0);
    bitmap_free(snapshot);
    // Fresh save-unders where the bodies now stand, so the next frame erases no picture.
    for (Body* body = field.body_head; body != nullptr; body = body->next) {
        body_save_background(body);
    }
}

void side_1_wins_screen(const MatchInput& input) {
    bitmap_zoom_in(pictures.end_picture_a, 100, 100, 0);
    bitmap_zoom_in(pictures.end_picture_side1, 130, 130, 0);
    bitmap_zoom_in(pictures.end_picture_b, 160, 150, 0);
    end_wait(input);
}

void side_2_wins_screen(const MatchInput& input) {
    bitmap_zoom_in(pictures.end_picture_a, 90, 100, 0);
    bitmap_zoom_in(pictures.end_picture_side2, 120, 130, 0);
    bitmap_zoom_in(pictures.end_picture_b, 150, 150, 0);
    end_wait(input);
}
