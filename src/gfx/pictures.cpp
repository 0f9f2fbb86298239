#include "gfx/pictures.h"

#include "gfx/bitmap.h"
#include "gfx/image.h"
#include "platform/frame.h"
#include "platform/system.h"

#include <cstdint>
#include <initializer_list>

GamePictures pictures;

namespace {

// Archive entries of the pictures loaded at set-up, in their order.
struct PictureSlot {
    Bitmap* GamePictures::*member;
    int32_t entry;
};

constexpr PictureSlot loaded_first[] = {{&GamePictures::title_picture, 11},
                                        {&GamePictures::title_panels, 12},
                                        {&GamePictures::wipe_bar_upper, 16},
                                        {&GamePictures::wipe_bar_lower, 17}};
constexpr PictureSlot loaded_last[] = {
    {&GamePictures::pitch_image, 13},        {&GamePictures::goal_picture_side1, 14},
    {&GamePictures::goal_picture_side2, 15}, {&GamePictures::clock_image, 21},
    {&GamePictures::goal_anim_a, 24},        {&GamePictures::goal_anim_b, 23},
    {&GamePictures::end_picture_a, 25},      {&GamePictures::end_picture_side2, 27},
    {&GamePictures::end_picture_side1, 26},  {&GamePictures::end_picture_b, 28},
    {&GamePictures::time_up_picture_a, 29},  {&GamePictures::time_up_picture_b, 30}};
constexpr PictureSlot sprites[] = {
    {&GamePictures::red_image, 7}, {&GamePictures::green_image, 8}, {&GamePictures::ball_image, 9}};
constexpr PictureSlot marks = {&GamePictures::score_marks, 22};
constexpr int32_t small_font_entry = 31;

// A missing picture would crash the first screen that draws it: stop here with a message.
Bitmap* picture_load(int32_t index) {
    Bitmap* picture = image_load(index);
    if (picture == nullptr) {
        fatal_error(1, "Cannot load picture %d from zrb.res", index);
    }
    return picture;
}

// Bodies are saved and drawn whole on the 320 x 200 screen.
Bitmap* sprite_load(int32_t index) {
    Bitmap* sprite = picture_load(index);
    if (sprite->width == 0 || sprite->height == 0 || sprite->width > frame_width ||
        sprite->height > frame_height) {
        image_release(sprite, index);
        fatal_error(1, "Cannot use picture %d from zrb.res", index);
    }
    return sprite;
}

Bitmap* save_area_create() {
    Bitmap* area = nullptr;
    bitmap_create(&area, 150, 10);
    return area;
}

void slots_release(const PictureSlot* slots, int count) {
    for (int i = 0; i < count; ++i) {
        image_release(pictures.*slots[i].member, slots[i].entry);
        pictures.*slots[i].member = nullptr;
    }
}

} // namespace

void pictures_load() {
    pictures_free();
    for (const PictureSlot& slot : loaded_first) {
        pictures.*slot.member = picture_load(slot.entry);
    }
    pictures.top_score_save = save_area_create();
    pictures.bottom_score_save = save_area_create();
    pictures.clock_save = save_area_create();
    pictures.score_marks = picture_load(marks.entry);
    pictures.marker_view = new Bitmap{10, 8, pictures.score_marks->pixels, 0};
    for (const PictureSlot& slot : sprites) {
        pictures.*slot.member = sprite_load(slot.entry);
    }
    for (const PictureSlot& slot : loaded_last) {
        pictures.*slot.member = picture_load(slot.entry);
    }
    pictures.small_font = image_load(small_font_entry);
}

void pictures_free() {
    slots_release(loaded_first, 4);
    slots_release(sprites, 3);
    slots_release(loaded_last, 12);
    slots_release(&marks, 1);
    image_release(pictures.small_font, small_font_entry);
    pictures.small_font = nullptr;
    for (Bitmap* GamePictures::*area :
         {&GamePictures::top_score_save, &GamePictures::bottom_score_save,
          &GamePictures::clock_save, &GamePictures::marker_view}) {
        bitmap_free(pictures.*area);
        pictures.*area = nullptr;
    }
}
