#include "gfx/bitmap.h"
#include "gfx/display.h"
#include "gfx/sprite.h"
#include "support/scripted_support.h"

#include <gtest/gtest.h>

namespace {

class Sprites : public ScriptedTest {
  protected:
    void SetUp() override {
        ScriptedTest::SetUp();
        pixel_format_init();
    }
    void TearDown() override {
        alpha_threshold = 15;
        ScriptedTest::TearDown();
    }
};

TEST_F(Sprites, AlphaCopiesBrightPixelsAndBlendsDarkOnes) {
    // One source pixel drawn blended over one target pixel at a given threshold.
    const struct {
        const char* what;
        int threshold;
        uint16_t source, target, expected;
    } cases[] = {
        {"red 8 is level 16: opaque", 15, rgb555(8, 0, 0), rgb555(0, 31, 0), rgb555(8, 0, 0)},
        // Weight 14: (31 * 50) >> 6 of the target plus (7 * 14) >> 6 on the raw channel bits.
        {"the (25, 1, 1) example", 15, rgb555(7, 7, 7), rgb555(31, 0, 0), rgb555(25, 1, 1)},
        // Green and blue tie above red: red's level 2 weighs, (31 * 62) >> 6 = 30.
        {"a tie falls to red", 15, rgb555(1, 5, 5), 0x7FFF, rgb555(30, 30, 30)},
        {"green strictly greatest", 15, rgb555(1, 7, 2), rgb555(0, 31, 0), rgb555(0, 25, 0)},
        {"blue strictly greatest", 15, rgb555(0, 0, 7), rgb555(0, 0, 31), rgb555(0, 0, 25)},
        {"at zero black is transparent", 0, 0, 0x7FFF, 0x7FFF},
        {"61 leaves white opaque", 61, 0x7FFF, 0, 0x7FFF},
    };
    Bitmap* bitmap = filled_bitmap(1, 1, 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        alpha_threshold = c.threshold;
        bitmap->pixels[0] = c.source;
        at(40, 40) = c.target;
        EXPECT_EQ(bitmap_put_alpha(bitmap, 40, 40), 1);
        EXPECT_EQ(at(40, 40), c.expected);
        EXPECT_EQ(frame_changed(), c.expected != 0 ? 1 : 0);
        at(40, 40) = 0;
    }
    bitmap_free(bitmap);
    EXPECT_EQ(bitmap_put_alpha(nullptr, 0, 0), 0);
}

TEST_F(Sprites, AlphaClipsAtTheBottomAndRightKeepingTheStride) {
    // Nothing at all is drawn at a negative position, not even the part that would show.
    Bitmap* bitmap = nullptr;
    bitmap_create(&bitmap, 10, 10);
    for (int i = 0; i < 100; i++) {
        bitmap->pixels[i] = static_cast<uint16_t>(0x4000 | i);
    }
    bitmap_put_alpha(bitmap, 0, 195);
    EXPECT_EQ(at(9, 199), 0x4000 | 49);
    EXPECT_EQ(frame_changed(), 50);
    std::fill(frame.begin(), frame.end(), 0);
    bitmap_put_alpha(bitmap, 315, 0);
    EXPECT_EQ(at(315, 9), 0x4000 | 90);
    EXPECT_EQ(at(319, 9), 0x4000 | 94);
    EXPECT_EQ(frame_changed(), 50);
    std::fill(frame.begin(), frame.end(), 0);
    for (const auto& [x, y] : {std::pair{-4, 10}, {10, -1}, {320, 0}, {0, 200}, {32000, 32000}}) {
        bitmap_put_alpha(bitmap, int16_t(x), int16_t(y));
    }
    EXPECT_EQ(frame_changed(), 0);
    bitmap_free(bitmap);
}

TEST_F(Sprites, ScaledDrawPicksNearestPixelsByRunningSumsAndKeepsTheTargetUnderZeroBytes) {
    Bitmap* bitmap = nullptr;
    bitmap_create(&bitmap, 4, 4);
    for (int i = 0; i < 16; i++) {
        bitmap->pixels[i] = static_cast<uint16_t>((i + 1) << 8);
    }
    // Steps 4 / 5 = 0.8: sums 0.8, 1.6, 2.4, 3.2 pick 0, 1, 2, 3.
    std::fill(frame.begin(), frame.end(), 5);
    bitmap_put_scaled(bitmap, 4, 4, 10, 10, frame.data());
    for (int y = 0; y < 4; y++) {
        for (int x = 0; x < 4; x++) {
            EXPECT_EQ(at(10 + x, 10 + y), 0x0100 * (4 * y + x + 1) + 5);
        }
    }
    // Doubling, steps 4 / 9: sums 0.44, 0.89, 1.33, 1.78, 2.22, 2.67, 3.11, 3.56; one row
    // of output takes source row 4 / 2 = 2. Now the high bytes are zero.
    for (int i = 0; i < 16; i++) {
        bitmap->pixels[i] >>= 8;
    }
    std::fill(frame.begin(), frame.end(), 0);
    std::fill(frame.begin(), frame.begin() + 8, 0x7F00);
    bitmap_put_scaled(bitmap, 8, 1, 0, 0, frame.data());
    const int columns[] = {0, 0, 1, 1, 2, 2, 3, 3};
    for (int x = 0; x < 8; x++) {
        EXPECT_EQ(at(x, 0), 0x7F00 + 8 + columns[x] + 1);
    }
    EXPECT_EQ(frame_changed(), 8);
    bitmap_free(bitmap);
}

TEST_F(Sprites, ScaledDrawClipsToTheBufferAndSkipsEmptySizes) {
    Bitmap* bitmap = filled_bitmap(10, 10, 0x7FFF);
    std::vector<uint16_t> guarded(320 * 200 + 640, 0);
    uint16_t* inside = guarded.data() + 320;
    bitmap_put_scaled(bitmap, 40, 40, 300, 180, inside);
    bitmap_put_scaled(bitmap, 40, 40, -20, -30, inside);
    EXPECT_EQ(std::count(guarded.begin(), guarded.begin() + 320, 0), 320);
    EXPECT_EQ(std::count(guarded.end() - 320, guarded.end(), 0), 320);
    EXPECT_EQ(std::count(inside, inside + 320 * 200, 0x7FFF), 20 * 20 + 20 * 10);

    bitmap_put_scaled(bitmap, 4, 0, 0, 0, frame.data());
    bitmap_put_scaled(bitmap, -3, -3, 0, 0, frame.data());
    bitmap_put_scaled(nullptr, 4, 4, 0, 0, frame.data());
    bitmap_put_scaled(bitmap, 4, 4, 0, 0, nullptr);
    EXPECT_EQ(frame_changed(), 0);
    bitmap_free(bitmap);
}

TEST_F(Sprites, ZoomRunsAFrameEveryThirdColumnAndRestoresEverything) {
    frame_fill_pattern();
    struct Place {
        int width, height, x, y;
    };
    // Height 10: the last frames start one row above y - half.
    for (Place place : {Place{30, 10, 100, 100}, Place{100, 60, 260, 190}, Place{100, 60, -40, 5},
                        Place{100, 40, 50, 100}}) {
        Bitmap* picture = filled_bitmap(place.width, place.height, 0x7FFF);
        bitmap_zoom_in(picture, place.x, place.y, 1);
        EXPECT_EQ(frame, background) << place.width << " x " << place.height;
        bitmap_free(picture);
    }
    bitmap_zoom_in(nullptr, 0, 0, 1);
    EXPECT_EQ(scripted_frame_count(), 11u + 34u + 34u + 34u);
    // The first frame draws nothing; the last draws 99 columns of 99 / 101 * 41 rows.
    const std::vector<uint16_t>& last = scripted_last_frame();
    EXPECT_EQ(std::count(last.begin(), last.end(), 0x7FFF), 99 * 40);
    // Without the erase the last frame stays.
    Bitmap* picture = filled_bitmap(30, 11, 0x7FFF);
    bitmap_zoom_in(picture, 100, 100, 0);
    EXPECT_EQ(frame, scripted_last_frame());
    EXPECT_EQ(std::count(frame.begin(), frame.end(), 0x7FFF), 30 * 11);
    bitmap_free(picture);
}

} // namespace
