#include "gfx/bitmap.h"
#include "gfx/display.h"
#include "support/scripted_support.h"

#include <gtest/gtest.h>

namespace {

// A bitmap whose pixel (x, y) is 1000 * y + x + 1: every pixel says where it came from.
Bitmap* numbered_bitmap(int width, int height) {
    Bitmap* bitmap = nullptr;
    EXPECT_EQ(bitmap_create(&bitmap, static_cast<int16_t>(width), static_cast<int16_t>(height)), 1);
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++) {
            bitmap->pixels[y * width + x] = static_cast<uint16_t>(1000 * y + x + 1);
        }
    }
    return bitmap;
}

class Bitmaps : public ScriptedTest {
  protected:
    void SetUp() override {
        ScriptedTest::SetUp();
        frame_fill_pattern();
    }
};

TEST_F(Bitmaps, CreateOwnsTwoSpareRowsFreeOnlyItsOwn) {
    Bitmap* bitmap = nullptr;
    ASSERT_EQ(bitmap_create(&bitmap, 7, 5), 1);
    EXPECT_EQ(bitmap->capacity, 7u * 7u);
    bitmap->pixels[7 * 7 - 1] = 1; // the spare rows are really there
    EXPECT_EQ(bitmap_free(bitmap), 1);

    EXPECT_EQ(bitmap_create(nullptr, 4, 4), 0);
    bitmap = reinterpret_cast<Bitmap*>(1);
    EXPECT_EQ(bitmap_create(&bitmap, -1, 4), 0);
    EXPECT_EQ(bitmap, nullptr);
    EXPECT_EQ(bitmap_free(nullptr), 0);
    std::vector<uint16_t> strip(64, 9); // borrowed pixels are left alone
    EXPECT_EQ(bitmap_free(new Bitmap{4, 4, strip.data() + 16, 0}), 1);
    EXPECT_EQ(strip[16], 9);
}

TEST_F(Bitmaps, GrabCopiesTheInclusiveRectangleOnScreenOnly) {
    Bitmap* save = filled_bitmap(20, 20, 7);
    EXPECT_EQ(bitmap_grab(save, 0, 10, 3, 5), 1); // upside down: a wrapped size, nothing copied
    EXPECT_EQ(save->height, 65532);
    EXPECT_EQ(std::count(save->pixels, save->pixels + save->capacity, 7), 20 * 22);
    EXPECT_EQ(bitmap_grab(save, 5, 7, 8, 9), 1);
    EXPECT_EQ(save->width, 4);
    EXPECT_EQ(save->height, 3);
    EXPECT_EQ(save->pixels[0], was(5, 7));
    EXPECT_EQ(save->pixels[5], was(6, 8));
    EXPECT_EQ(save->pixels[11], was(8, 9));
    // Past the right and bottom edges only what is on screen is taken, at the full stride.
    std::fill(save->pixels, save->pixels + save->capacity, 7);
    bitmap_grab(save, 310, 190, 329, 209);
    EXPECT_EQ(save->width, 20);
    EXPECT_EQ(save->pixels[9], was(319, 190));
    EXPECT_EQ(save->pixels[10], 7);
    EXPECT_EQ(save->pixels[20 * 9 + 9], was(319, 199));
    EXPECT_EQ(save->pixels[20 * 10], 7);
    bitmap_free(save);
    EXPECT_EQ(bitmap_grab(nullptr, 0, 0, 1, 1), 0);

    // A whole screen into a small save area fills the buffer and stops there; putting back a
    // taller area than it holds reads only the rows it holds (ASan watches).
    bitmap_create(&save, 4, 2);
    bitmap_grab(save, 0, 0, 319, 199);
    EXPECT_EQ(save->width, 320);
    EXPECT_EQ(save->height, 200);
    bitmap_grab(save, 0, 0, 3, 99);
    std::fill(frame.begin(), frame.end(), 0);
    bitmap_put(save, 0, 0);
    EXPECT_EQ(std::count(frame.begin(), frame.end(), 0), 320 * 200 - 16);
    bitmap_free(save);
}

TEST_F(Bitmaps, PutCopiesEveryPixelBlackIncludedAndLocksOnce) {
    Bitmap* bitmap = numbered_bitmap(3, 2);
    bitmap->pixels[4] = 0;
    EXPECT_EQ(bitmap_put(bitmap, 100, 50), 1);
    EXPECT_EQ(at(100, 50), 1);
    EXPECT_EQ(at(102, 50), 3);
    EXPECT_EQ(at(101, 51), 0);
    EXPECT_EQ(frame_changed(), 6);
    EXPECT_EQ(scripted_lock_count(), 1u);
    bitmap_free(bitmap);
    EXPECT_EQ(bitmap_put(nullptr, 0, 0), 0);
}

TEST_F(Bitmaps, PutClipsAtEachEdgeKeepingTheSourceStride) {
    // A 20 x 20 numbered bitmap put at (x, y): how many pixels change, and two of them.
    const struct {
        const char* edge;
        int x, y, changed;
        int x1, y1, value1, x2, y2, value2;
    } cases[] = {
        {"bottom", 0, 190, 200, 0, 199, 9001, 19, 199, 9020},
        {"right", 310, 0, 200, 310, 19, 19001, 319, 19, 19010},
        // Positions past 32767 read as negative.
        {"left and top", -4, -3, 16 * 17, 0, 0, 3005, 15, 16, 19020},
        {"past the right", 320, 0, 0, 0, 0, 0, 0, 0, 0},
        {"past the bottom", 0, 200, 0, 0, 0, 0, 0, 0, 0},
    };
    Bitmap* bitmap = numbered_bitmap(20, 20);
    for (const auto& clip : cases) {
        SCOPED_TRACE(clip.edge);
        frame = background;
        bitmap_put(bitmap, static_cast<uint16_t>(clip.x), static_cast<uint16_t>(clip.y));
        EXPECT_EQ(frame_changed(), clip.changed);
        if (clip.changed > 0) {
            EXPECT_EQ(at(clip.x1, clip.y1), clip.value1);
            EXPECT_EQ(at(clip.x2, clip.y2), clip.value2);
        }
    }
    bitmap_free(bitmap);
}

} // namespace
