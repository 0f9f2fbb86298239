#include "app/display.h"
#include "gfx/bitmap.h"
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
        for (size_t i = 0; i < frame.size(); i++) {
            frame[i] = static_cast<uint16_t>(0x4000 | (i % 997));
        }
        background = frame;
    }
    uint16_t& at(int x, int y) { return frame[static_cast<size_t>(y) * 320 + x]; }
    uint16_t was(int x, int y) { return background[static_cast<size_t>(y) * 320 + x]; }
    // Counts target pixels that differ from the background.
    int changed() {
        int count = 0;
        for (size_t i = 0; i < frame.size(); i++) {
            count += frame[i] != background[i];
        }
        return count;
    }
    std::vector<uint16_t> background;
};

TEST_F(Bitmaps, CreateOwnsRoomForTwoSpareRows) {
    Bitmap* bitmap = nullptr;
    ASSERT_EQ(bitmap_create(&bitmap, 7, 5), 1);
    EXPECT_EQ(bitmap->width, 7);
    EXPECT_EQ(bitmap->height, 5);
    EXPECT_EQ(bitmap->capacity, 7u * 7u);
    // The spare rows are really there.
    bitmap->pixels[7 * 7 - 1] = 1;
    EXPECT_EQ(bitmap_free(bitmap), 1);
}

TEST_F(Bitmaps, CreateRefusesNullOutAndNegativeSizes) {
    EXPECT_EQ(bitmap_create(nullptr, 4, 4), 0);
    Bitmap* bitmap = reinterpret_cast<Bitmap*>(1);
    EXPECT_EQ(bitmap_create(&bitmap, -1, 4), 0);
    EXPECT_EQ(bitmap, nullptr);
    EXPECT_EQ(bitmap_create(&bitmap, 4, -3), 0);
    EXPECT_EQ(bitmap, nullptr);
}

TEST_F(Bitmaps, FreeReleasesOnlyWhatTheRecordOwns) {
    EXPECT_EQ(bitmap_free(nullptr), 0);
    EXPECT_EQ(bitmap_free(new Bitmap{4, 4, nullptr, 0}), 1);
    // Borrowed pixels (an archive entry, a frame of a strip) survive the record.
    std::vector<uint16_t> strip(64, 9);
    EXPECT_EQ(bitmap_free(new Bitmap{4, 4, strip.data() + 16, 0}), 1);
    EXPECT_EQ(strip[16], 9);
}

TEST_F(Bitmaps, GrabCopiesTheInclusiveRectangle) {
    Bitmap* save = nullptr;
    bitmap_create(&save, 10, 10);
    EXPECT_EQ(bitmap_grab(save, 5, 7, 8, 9), 1);
    EXPECT_EQ(save->width, 4);
    EXPECT_EQ(save->height, 3);
    for (int y = 0; y < 3; y++) {
        for (int x = 0; x < 4; x++) {
            EXPECT_EQ(save->pixels[y * 4 + x], was(5 + x, 7 + y));
        }
    }
    EXPECT_EQ(bitmap_grab(save, 12, 34, 12, 34), 1);
    EXPECT_EQ(save->width, 1);
    EXPECT_EQ(save->height, 1);
    EXPECT_EQ(save->pixels[0], was(12, 34));
    EXPECT_EQ(bitmap_grab(nullptr, 0, 0, 1, 1), 0);
    bitmap_free(save);
}

TEST_F(Bitmaps, GrabUpsideDownSetsAWrappedSizeAndCopiesNothing) {
    Bitmap* save = nullptr;
    bitmap_create(&save, 4, 4);
    std::fill(save->pixels, save->pixels + save->capacity, 7);
    EXPECT_EQ(bitmap_grab(save, 0, 10, 3, 9), 1);
    EXPECT_EQ(save->width, 4);
    EXPECT_EQ(save->height, 0);
    EXPECT_EQ(bitmap_grab(save, 0, 10, 3, 5), 1);
    EXPECT_EQ(save->height, 65532);
    EXPECT_EQ(std::count(save->pixels, save->pixels + save->capacity, 7), 24);
    bitmap_free(save);
}

TEST_F(Bitmaps, GrabStaysInsideTheTargetAndTheBuffer) {
    // A rectangle reaching past the right and bottom edges takes only what is on screen,
    // keeping the full requested width as the row stride.
    Bitmap* save = nullptr;
    bitmap_create(&save, 20, 20);
    std::fill(save->pixels, save->pixels + save->capacity, 7);
    bitmap_grab(save, 310, 190, 329, 209);
    EXPECT_EQ(save->width, 20);
    EXPECT_EQ(save->height, 20);
    EXPECT_EQ(save->pixels[0], was(310, 190));
    EXPECT_EQ(save->pixels[9], was(319, 190));
    EXPECT_EQ(save->pixels[10], 7);
    EXPECT_EQ(save->pixels[20 * 9 + 9], was(319, 199));
    EXPECT_EQ(save->pixels[20 * 10], 7);
    bitmap_free(save);

    // A whole screen into a small save area fills the buffer and stops there.
    bitmap_create(&save, 4, 2);
    bitmap_grab(save, 0, 0, 319, 199);
    EXPECT_EQ(save->width, 320);
    EXPECT_EQ(save->height, 200);
    EXPECT_EQ(save->capacity, 16u);
    bitmap_free(save);
}

TEST_F(Bitmaps, PutCopiesEveryPixelBlackIncluded) {
    Bitmap* bitmap = numbered_bitmap(3, 2);
    bitmap->pixels[4] = 0;
    EXPECT_EQ(bitmap_put(bitmap, 100, 50), 1);
    EXPECT_EQ(at(100, 50), 1);
    EXPECT_EQ(at(102, 50), 3);
    EXPECT_EQ(at(100, 51), 1001);
    EXPECT_EQ(at(101, 51), 0);
    EXPECT_EQ(changed(), 6);
    bitmap_free(bitmap);
    EXPECT_EQ(bitmap_put(nullptr, 0, 0), 0);
}

TEST_F(Bitmaps, PutClipsAtTheBottomEdge) {
    Bitmap* bitmap = numbered_bitmap(20, 20);
    bitmap_put(bitmap, 0, 190);
    EXPECT_EQ(at(0, 199), 9001);
    EXPECT_EQ(at(19, 199), 9020);
    EXPECT_EQ(changed(), 200);
    bitmap_free(bitmap);
}

TEST_F(Bitmaps, PutClipsAtTheRightEdgeKeepingTheSourceStride) {
    Bitmap* bitmap = numbered_bitmap(20, 20);
    bitmap_put(bitmap, 310, 0);
    for (int y = 0; y < 20; y++) {
        EXPECT_EQ(at(310, y), 1000 * y + 1);
        EXPECT_EQ(at(319, y), 1000 * y + 10);
    }
    EXPECT_EQ(at(0, 1), was(0, 1));
    EXPECT_EQ(changed(), 200);
    bitmap_free(bitmap);
}

TEST_F(Bitmaps, PutClipsAtTheLeftAndTopEdges) {
    Bitmap* bitmap = numbered_bitmap(20, 20);
    // Positions read as negative 16-bit numbers.
    bitmap_put(bitmap, static_cast<uint16_t>(-4), static_cast<uint16_t>(-3));
    EXPECT_EQ(at(0, 0), 3000 + 4 + 1);
    EXPECT_EQ(at(15, 16), 19000 + 19 + 1);
    EXPECT_EQ(changed(), 16 * 17);
    bitmap_free(bitmap);
}

TEST_F(Bitmaps, PutFarOutsideDrawsNothing) {
    Bitmap* bitmap = numbered_bitmap(20, 20);
    bitmap_put(bitmap, 320, 0);
    bitmap_put(bitmap, 0, 200);
    bitmap_put(bitmap, static_cast<uint16_t>(-20), 0);
    bitmap_put(bitmap, 30000, 30000);
    EXPECT_EQ(changed(), 0);
    bitmap_free(bitmap);
}

TEST_F(Bitmaps, PutLocksTheSurfaceOnceEvenWithNothingToCopy) {
    Bitmap* bitmap = numbered_bitmap(5, 0);
    EXPECT_EQ(bitmap_put(bitmap, 0, 0), 1);
    EXPECT_EQ(scripted_lock_count(), 1u);
    EXPECT_EQ(changed(), 0);
    bitmap_free(bitmap);
}

TEST_F(Bitmaps, PutReadsNoFurtherThanTheBufferHolds) {
    // A save area whose declared size grew past its buffer by an earlier grab.
    Bitmap* save = nullptr;
    bitmap_create(&save, 4, 2);
    std::fill(save->pixels, save->pixels + save->capacity, 5);
    bitmap_grab(save, 0, 0, 3, 99);
    EXPECT_EQ(save->height, 100);
    std::fill(frame.begin(), frame.end(), 0);
    bitmap_put(save, 0, 0);
    EXPECT_EQ(std::count(frame.begin(), frame.end(), 0), 320 * 200 - 16);
    bitmap_free(save);
}

TEST_F(Bitmaps, GrabThenPutRestoresTheArea) {
    Bitmap* save = nullptr;
    bitmap_create(&save, 50, 40);
    bitmap_grab(save, 30, 20, 79, 59);
    std::fill(frame.begin(), frame.end(), 0);
    bitmap_put(save, 30, 20);
    for (int y = 20; y < 60; y++) {
        for (int x = 30; x < 80; x++) {
            ASSERT_EQ(at(x, y), was(x, y));
        }
    }
    bitmap_free(save);
}

TEST_F(Bitmaps, NothingHappensWithoutADrawTarget) {
    draw_target = nullptr;
    Bitmap* bitmap = numbered_bitmap(4, 4);
    EXPECT_EQ(bitmap_put(bitmap, 0, 0), 1);
    EXPECT_EQ(bitmap_grab(bitmap, 0, 0, 3, 3), 1);
    EXPECT_EQ(bitmap->pixels[0], 1);
    bitmap_free(bitmap);
}

TEST(DisplayMasks, DescribeTheRgb555BackBuffer) {
    uint32_t red = 0;
    uint32_t green = 0;
    uint32_t blue = 0;
    EXPECT_EQ(display_get_masks(&red, &green, &blue), 1);
    EXPECT_EQ(red, 0x7C00u);
    EXPECT_EQ(green, 0x03E0u);
    EXPECT_EQ(blue, 0x001Fu);
}

} // namespace
