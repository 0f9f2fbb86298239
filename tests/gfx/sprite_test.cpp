#include "app/display.h"
#include "gfx/bitmap.h"
#include "gfx/sprite.h"
#include "support/scripted_support.h"

#include <gtest/gtest.h>

namespace {

Bitmap* filled_bitmap(int width, int height, uint16_t value) {
    Bitmap* bitmap = nullptr;
    bitmap_create(&bitmap, static_cast<int16_t>(width), static_cast<int16_t>(height));
    std::fill(bitmap->pixels, bitmap->pixels + bitmap->capacity, value);
    return bitmap;
}

class Sprites : public ScriptedTest {
  protected:
    void SetUp() override {
        ScriptedTest::SetUp();
        pixel_format_init();
        alpha_threshold = 15;
    }
    void TearDown() override {
        alpha_threshold = 15;
        ScriptedTest::TearDown();
    }
    uint16_t& at(int x, int y) { return frame[static_cast<size_t>(y) * 320 + x]; }
    // One source pixel drawn over one target pixel.
    uint16_t alpha_one(uint16_t source, uint16_t target) {
        Bitmap* bitmap = filled_bitmap(1, 1, source);
        at(40, 40) = target;
        bitmap_put_alpha(bitmap, 40, 40);
        bitmap_free(bitmap);
        return at(40, 40);
    }
    int changed_from(uint16_t value) {
        return static_cast<int>(frame.size()) -
               static_cast<int>(std::count(frame.begin(), frame.end(), value));
    }
};

TEST_F(Sprites, BrightPixelsAreCopiedAndDarkOnesBlended) {
    // Any level above 15 is opaque: red 8 is level 16.
    EXPECT_EQ(alpha_one(rgb555(8, 0, 0), rgb555(0, 31, 0)), rgb555(8, 0, 0));
    EXPECT_EQ(alpha_one(rgb555(0, 0, 8), 0x7FFF), rgb555(0, 0, 8));
    // (7, 7, 7) over (31, 0, 0) weighs 14/64: ((31 * 50) >> 6) + ((7 * 14) >> 6) on the
    // unshifted channel bits.
    EXPECT_EQ(alpha_one(rgb555(7, 7, 7), rgb555(31, 0, 0)), rgb555(25, 1, 1));
}

TEST_F(Sprites, BlackIsTransparentAtTheInitialThreshold) {
    Bitmap* bitmap = filled_bitmap(30, 30, 0);
    std::fill(frame.begin(), frame.end(), rgb555(3, 20, 9));
    EXPECT_EQ(bitmap_put_alpha(bitmap, 10, 10), 1);
    EXPECT_EQ(changed_from(rgb555(3, 20, 9)), 0);
    bitmap_free(bitmap);
    EXPECT_EQ(bitmap_put_alpha(nullptr, 0, 0), 0);
}

TEST_F(Sprites, WeightIsTheStrictlyGreatestLevelElseRed) {
    // Green and blue tie above red: red (level 2) weighs. Target white.
    // Per channel: (31 * 62) >> 6 = 30 parts of the target, source adds (5 * 2) >> 6 = 0,
    // except where the carry of the unshifted bits shows.
    uint16_t tie = alpha_one(rgb555(1, 5, 5), 0x7FFF);
    uint32_t m = 2;
    auto part = [m](uint32_t s, uint32_t d, uint32_t mask) {
        return ((((d & mask) * (64 - m)) >> 6) + (((s & mask) * m) >> 6)) & mask;
    };
    uint16_t s = rgb555(1, 5, 5);
    uint32_t expected = part(s, 0x7FFF, 0x7C00) | part(s, 0x7FFF, 0x03E0) | part(s, 0x7FFF, 0x1F);
    EXPECT_EQ(tie, expected);
    EXPECT_EQ(tie, rgb555(30, 30, 30));
    // Green strictly greatest: weight 10 (level of 5).
    EXPECT_EQ(alpha_one(rgb555(1, 5, 2), rgb555(0, 0, 0)), rgb555(0, 0, 0));
    EXPECT_EQ(alpha_one(rgb555(1, 7, 2), rgb555(0, 31, 0)), rgb555(0, 25, 0));
    // Blue strictly greatest: weight 14.
    EXPECT_EQ(alpha_one(rgb555(0, 0, 7), rgb555(0, 0, 31)), rgb555(0, 0, 25));
}

TEST_F(Sprites, ThresholdBelowZeroMakesBlackOpaque) {
    alpha_threshold = -1;
    EXPECT_EQ(alpha_one(0, 0x7FFF), 0);
    alpha_threshold = 0;
    EXPECT_EQ(alpha_one(0, 0x7FFF), 0x7FFF);
}

TEST_F(Sprites, ThresholdOf62BlendsEveryPixel) {
    alpha_threshold = 62;
    // White weighs 62/64 over black: each channel (31 * 62) >> 6 = 30.
    EXPECT_EQ(alpha_one(0x7FFF, 0), rgb555(30, 30, 30));
    alpha_threshold = 61;
    EXPECT_EQ(alpha_one(0x7FFF, 0), 0x7FFF);
    alpha_threshold = 1000;
    EXPECT_EQ(alpha_one(rgb555(31, 0, 0), rgb555(0, 0, 31)),
              static_cast<uint16_t>((((0x7C00u * 62) >> 6) & 0x7C00) | ((31u * 2) >> 6)));
}

TEST_F(Sprites, AlphaAtANegativePositionDrawsNothing) {
    Bitmap* bitmap = filled_bitmap(20, 20, 0x7FFF);
    bitmap_put_alpha(bitmap, -4, 10);
    bitmap_put_alpha(bitmap, 10, -1);
    EXPECT_EQ(changed_from(0), 0);
    bitmap_free(bitmap);
}

TEST_F(Sprites, AlphaClipsAtTheBottomAndRightKeepingTheStride) {
    Bitmap* bitmap = nullptr;
    bitmap_create(&bitmap, 10, 10);
    for (int i = 0; i < 100; i++) {
        bitmap->pixels[i] = static_cast<uint16_t>(0x4000 | i);
    }
    bitmap_put_alpha(bitmap, 0, 195);
    EXPECT_EQ(at(0, 195), 0x4000);
    EXPECT_EQ(at(9, 199), 0x4000 | 49);
    EXPECT_EQ(changed_from(0), 50);
    std::fill(frame.begin(), frame.end(), 0);
    bitmap_put_alpha(bitmap, 315, 0);
    for (int y = 0; y < 10; y++) {
        EXPECT_EQ(at(315, y), 0x4000 | (10 * y));
        EXPECT_EQ(at(319, y), 0x4000 | (10 * y + 4));
    }
    EXPECT_EQ(changed_from(0), 50);
    std::fill(frame.begin(), frame.end(), 0);
    bitmap_put_alpha(bitmap, 320, 0);
    bitmap_put_alpha(bitmap, 0, 200);
    bitmap_put_alpha(bitmap, 32000, 32000);
    EXPECT_EQ(changed_from(0), 0);
    bitmap_free(bitmap);
}

TEST_F(Sprites, ScaledDrawIsTransparentByteByByte) {
    Bitmap* bitmap = filled_bitmap(1, 1, rgb555(4, 0, 0)); // 0x1000: low byte zero
    at(0, 0) = rgb555(0, 0, 5);
    // Output 1 x 1: steps 1 / 2, so the source pixel is (0, 0).
    bitmap_put_scaled(bitmap, 1, 1, 0, 0, frame.data());
    EXPECT_EQ(at(0, 0), 0x1000 | 5);
    bitmap->pixels[0] = 0x0011; // high byte zero
    at(1, 0) = 0x7F00;
    bitmap_put_scaled(bitmap, 1, 1, 1, 0, frame.data());
    EXPECT_EQ(at(1, 0), 0x7F11);
    bitmap->pixels[0] = 0;
    at(2, 0) = 0x1234;
    bitmap_put_scaled(bitmap, 1, 1, 2, 0, frame.data());
    EXPECT_EQ(at(2, 0), 0x1234);
    bitmap_free(bitmap);
}

TEST_F(Sprites, ScaledDrawPicksNearestPixelsByRunningSums) {
    Bitmap* bitmap = nullptr;
    bitmap_create(&bitmap, 4, 4);
    for (int i = 0; i < 16; i++) {
        bitmap->pixels[i] = static_cast<uint16_t>(0x0101 * (i + 1));
    }
    // Steps 4 / 5 = 0.8: sums 0.8, 1.6, 2.4, 3.2 pick 0, 1, 2, 3.
    bitmap_put_scaled(bitmap, 4, 4, 10, 10, frame.data());
    for (int y = 0; y < 4; y++) {
        for (int x = 0; x < 4; x++) {
            EXPECT_EQ(at(10 + x, 10 + y), 0x0101 * (4 * y + x + 1));
        }
    }
    // Doubling, steps 4 / 9: sums 0.44, 0.89, 1.33, 1.78, 2.22, 2.67, 3.11, 3.56; one row
    // of output takes source row 4 / 2 = 2.
    std::fill(frame.begin(), frame.end(), 0);
    bitmap_put_scaled(bitmap, 8, 1, 0, 0, frame.data());
    const int columns[] = {0, 0, 1, 1, 2, 2, 3, 3};
    for (int x = 0; x < 8; x++) {
        EXPECT_EQ(at(x, 0), 0x0101 * (8 + columns[x] + 1));
    }
    EXPECT_EQ(changed_from(0), 8);
    bitmap_free(bitmap);
}

TEST_F(Sprites, ScaledDrawWithNoHeightOrWidthDrawsNothing) {
    Bitmap* bitmap = filled_bitmap(4, 4, 0x7FFF);
    bitmap_put_scaled(bitmap, 4, 0, 0, 0, frame.data());
    bitmap_put_scaled(bitmap, 0, 4, 0, 0, frame.data());
    bitmap_put_scaled(bitmap, -3, -3, 0, 0, frame.data());
    bitmap_put_scaled(nullptr, 4, 4, 0, 0, frame.data());
    bitmap_put_scaled(bitmap, 4, 4, 0, 0, nullptr);
    EXPECT_EQ(changed_from(0), 0);
    bitmap_free(bitmap);
}

TEST_F(Sprites, ScaledDrawClipsToTheBuffer) {
    Bitmap* bitmap = filled_bitmap(10, 10, 0x7FFF);
    std::vector<uint16_t> guarded(320 * 200 + 640, 0);
    uint16_t* inside = guarded.data() + 320;
    bitmap_put_scaled(bitmap, 40, 40, 300, 180, inside);
    bitmap_put_scaled(bitmap, 40, 40, -20, -30, inside);
    EXPECT_EQ(std::count(guarded.begin(), guarded.begin() + 320, 0), 320);
    EXPECT_EQ(std::count(guarded.end() - 320, guarded.end(), 0), 320);
    EXPECT_EQ(std::count(inside, inside + 320 * 200, 0x7FFF), 20 * 20 + 20 * 10);
    bitmap_free(bitmap);
}

class Zoom : public Sprites {
  protected:
    void SetUp() override {
        Sprites::SetUp();
        for (size_t i = 0; i < frame.size(); i++) {
            frame[i] = static_cast<uint16_t>(0x4000 | (i % 1009));
        }
        background = frame;
    }
    std::vector<uint16_t> background;
};

TEST_F(Zoom, RunsAFrameEveryThirdColumnAndRestoresEverything) {
    Bitmap* picture = filled_bitmap(100, 40, 0x7FFF);
    bitmap_zoom_in(picture, 50, 100, 1);
    EXPECT_EQ(scripted_frame_count(), 34u);
    // The first frame draws nothing; the last draws 99 columns of 99 / 101 * 41 rows.
    const std::vector<uint16_t>& last = scripted_last_frame();
    EXPECT_EQ(std::count(last.begin(), last.end(), 0x7FFF), 99 * 40);
    EXPECT_EQ(frame, background);
    bitmap_free(picture);
}

TEST_F(Zoom, EvenHeightsLeaveNoLineBehind) {
    // Height 10: the last frames start one row above y - half.
    Bitmap* picture = filled_bitmap(30, 10, 0x7FFF);
    bitmap_zoom_in(picture, 100, 100, 1);
    EXPECT_EQ(scripted_frame_count(), 11u);
    EXPECT_EQ(frame, background);
    bitmap_free(picture);
}

TEST_F(Zoom, WithoutEraseTheLastFrameStays) {
    Bitmap* picture = filled_bitmap(30, 11, 0x7FFF);
    bitmap_zoom_in(picture, 100, 100, 0);
    EXPECT_EQ(scripted_frame_count(), 11u);
    EXPECT_EQ(frame, scripted_last_frame());
    EXPECT_EQ(std::count(frame.begin(), frame.end(), 0x7FFF), 30 * 11);
    bitmap_free(picture);
}

TEST_F(Zoom, NearTheEdgesItStaysInsideTheScreen) {
    Bitmap* picture = filled_bitmap(100, 60, 0x7FFF);
    bitmap_zoom_in(picture, 260, 190, 1);
    EXPECT_EQ(scripted_frame_count(), 34u);
    EXPECT_EQ(frame, background);
    bitmap_zoom_in(picture, -40, 5, 1);
    EXPECT_EQ(frame, background);
    bitmap_zoom_in(nullptr, 0, 0, 1);
    EXPECT_EQ(scripted_frame_count(), 68u);
    bitmap_free(picture);
}

} // namespace
