#include "match/setup.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/display.h"
#include "app/utility.h"
#include "field/collision.h"
#include "field/plasma.h"
#include "gfx/bitmap.h"
#include "gfx/image.h"
#include "match/match_loop.h"
#include "match/score_display.h"
#include "platform/notice.h"
#include "resources/text_extract.h"
#include "sound/sound.h"

uint8_t* plasma_buffer = nullptr;
uint16_t* back_buffer = nullptr;

Bitmap* title_picture = nullptr;
Bitmap* title_panels = nullptr;
Bitmap* wipe_bar_upper = nullptr;
Bitmap* wipe_bar_lower = nullptr;
Bitmap* score_marks = nullptr;
Bitmap* red_image = nullptr;
Bitmap* green_image = nullptr;
Bitmap* ball_image = nullptr;
Bitmap* pitch_image = nullptr;
Bitmap* goal_picture_side1 = nullptr;
Bitmap* goal_picture_side2 = nullptr;
Bitmap* clock_image = nullptr;
Bitmap* goal_anim_a = nullptr;
Bitmap* goal_anim_b = nullptr;
Bitmap* end_picture_a = nullptr;
Bitmap* end_picture_side2 = nullptr;
Bitmap* end_picture_side1 = nullptr;
Bitmap* end_picture_b = nullptr;
Bitmap* time_up_picture_a = nullptr;
Bitmap* time_up_picture_b = nullptr;
Bitmap* top_score_save = nullptr;
Bitmap* bottom_score_save = nullptr;
Bitmap* clock_save = nullptr;
Bitmap* marker_view = nullptr;

namespace {

constexpr size_t plasma_buffer_size = 100274;

[[noreturn]] void picture_fail(int32_t index, const char* why) {
    char text[96];
    std::snprintf(text, sizeof text, "Cannot %s picture %d from zrb.res", why, index);
    notice_show(text, "Zorbit");
    fatal_exit(1);
}

// A missing picture would crash the first screen that draws it: stop here with a message.
Bitmap* picture_load(int32_t index) {
    Bitmap* picture = image_load(index);
    if (picture == nullptr) {
        picture_fail(index, "load");
    }
    return picture;
}

// Bodies are saved and drawn whole on the 320 x 200 screen.
Bitmap* sprite_load(int32_t index) {
    Bitmap* sprite = picture_load(index);
    if (sprite->width == 0 || sprite->height == 0 || sprite->width > 320 || sprite->height > 200) {
        picture_fail(index, "use");
    }
    return sprite;
}

Bitmap* save_area_create() {
    Bitmap* area = nullptr;
    bitmap_create(&area, 150, 10);
    return area;
}

void pictures_load() {
    title_picture = picture_load(11);
    title_panels = picture_load(12);
    wipe_bar_upper = picture_load(16);
    wipe_bar_lower = picture_load(17);
    top_score_save = save_area_create();
    bottom_score_save = save_area_create();
    clock_save = save_area_create();
    score_marks = picture_load(22);
    marker_view = new Bitmap{10, 8, score_marks->pixels, 0};
    red_image = sprite_load(7);
    green_image = sprite_load(8);
    ball_image = sprite_load(9);
    pitch_image = picture_load(13);
    goal_picture_side1 = picture_load(14);
    goal_picture_side2 = picture_load(15);
    clock_image = picture_load(21);
    goal_anim_a = picture_load(24);
    goal_anim_b = picture_load(23);
    end_picture_a = picture_load(25);
    end_picture_side2 = picture_load(27);
    end_picture_side1 = picture_load(26);
    end_picture_b = picture_load(28);
    time_up_picture_a = picture_load(29);
    time_up_picture_b = picture_load(30);
}

} // namespace

void game_setup() {
    plasma_buffer = static_cast<uint8_t*>(std::calloc(plasma_buffer_size, 1));
    archive_extract_text(1, "readme");
    archive_extract_text(0, "file_id.diz");
    sound_start();
    pixel_format_init();
    back_buffer = static_cast<uint16_t*>(std::calloc(frame_pixels, sizeof(uint16_t)));
    display_set_target(back_buffer);
    pictures_load();
    plasma_state_reset();
    plasma_palette_init();
    plasma_waves_init();
    // What a fresh process starts with; matters when a test sets up more than once.
    marker_frame = 0;
    skip_next_collision = 0;
}

void game_run() {
    game_setup();
    match_cycle();
}
