// The plasma: palette, wave tables, growth, drift and blit.
#include <gtest/gtest.h>

#include <cmath>

#include "../match/game_harness.h"
#include "field/plasma.h"

namespace {

class PlasmaTest : public ::testing::Test {
  protected:
    void SetUp() override { game_harness_start(); }
    void TearDown() override { game_harness_stop(); }
};

uint16_t start_colour(int i) {
    return rgb555(i / 6, i / 2, i / 6);
}

TEST_F(PlasmaTest, StartingPaletteHasTwoRampsAndBlackEnds) {
    for (int i : {0, 127, 254, 255}) {
        EXPECT_EQ(plasma_palette[i], 0) << i;
    }
    for (int i : {63, 64, 190, 191}) {
        EXPECT_EQ(plasma_palette[i], start_colour(63)) << i;
    }
    EXPECT_EQ(plasma_palette[126], start_colour(1));
    EXPECT_EQ(plasma_palette[128], start_colour(1));
    EXPECT_EQ(plasma_palette[10], start_colour(10));
    EXPECT_EQ(plasma_palette[127 + 40], start_colour(40));
    EXPECT_EQ(plasma_palette[254 - 40], start_colour(40));
}

TEST_F(PlasmaTest, WaveTables) {
    EXPECT_EQ(sine_table[0], 128);
    EXPECT_EQ(sine_table[64], 255);
    EXPECT_EQ(cosine_table[0], 0) << "256 stored as a byte";
    EXPECT_EQ(cosine_table[255], 0);
    EXPECT_EQ(cosine_table[1], 255);
    const double c = 3.14159265358 / 127.5;
    for (int i = 1; i < 255; ++i) {
        EXPECT_EQ(sine_table[i],
                  static_cast<int>(std::floor((std::sin(i * c) + 1.0) * 128.0)) & 0xFF);
    }
    EXPECT_EQ(plasma_phase_1, 10);
    EXPECT_EQ(plasma_phase_2, 90);
}

TEST_F(PlasmaTest, ThePatternGrowsTwoRowsPerComputeUpTo200) {
    plasma_compute();
    EXPECT_EQ(plasma_rows, 2);
    EXPECT_EQ(plasma_phase_1, 9);
    EXPECT_EQ(plasma_phase_2, 91);
    const uint8_t a = sine_table[9];
    const uint8_t b = cosine_table[sine_table[91]];
    EXPECT_EQ(plasma_buffer[0], static_cast<uint8_t>(cosine_table[a] + b));
    EXPECT_EQ(plasma_buffer[5], static_cast<uint8_t>(cosine_table[(a + 5) & 0xFF] + b));
    const uint8_t a1 = sine_table[10];
    const uint8_t b1 = cosine_table[(sine_table[91] + 1) & 0xFF];
    EXPECT_EQ(plasma_buffer[304 + 7], static_cast<uint8_t>(cosine_table[(a1 + 7) & 0xFF] + b1));
    EXPECT_EQ(plasma_buffer[2 * 304], 0) << "row 2 not computed yet";

    plasma_blit();
    EXPECT_EQ(screen_pixel(8, 16), plasma_palette[plasma_buffer[0]]);
    EXPECT_EQ(screen_pixel(311, 17), plasma_palette[plasma_buffer[304 + 303]]);
    EXPECT_EQ(screen_pixel(8, 18), plasma_palette[0]) << "black below the grown rows";
    EXPECT_EQ(screen_pixel(7, 16), 0) << "nothing outside the inner area";
    EXPECT_EQ(screen_pixel(312, 16), 0);

    for (int i = 1; i < 100; ++i) {
        plasma_compute();
    }
    EXPECT_EQ(plasma_rows, 200);
    plasma_compute();
    EXPECT_EQ(plasma_rows, 200);
    plasma_blit();
    EXPECT_EQ(screen_pixel(100, 183), plasma_palette[plasma_buffer[167 * 304 + 92]]);
    EXPECT_EQ(screen_pixel(100, 184), 0) << "rows 168 on are never shown";
}

TEST_F(PlasmaTest, ByteValue255IsDrawnBlack) {
    std::fill(plasma_buffer, plasma_buffer + 304 * 200, 255);
    for (int i = 0; i < 300; ++i) {
        plasma_palette_update();
    }
    plasma_blit();
    EXPECT_EQ(screen_pixel(50, 50), 0);
}

TEST_F(PlasmaTest, FirstPaletteUpdate) {
    plasma_palette_update();
    EXPECT_NEAR(red_scale, 0.99, 1e-12);
    EXPECT_NEAR(green_scale, 0.01, 1e-12);
    EXPECT_NEAR(blue_scale, 0.3, 1e-12);
    // i = 63: red trunc(31.5 * 0.99) = 31, green trunc(31 * 0.01) = 0, blue trunc(31.5 * 0.3) = 9.
    EXPECT_EQ(plasma_palette[63], rgb555(31, 0, 9));
    EXPECT_EQ(plasma_palette[190], rgb555(31, 0, 9));
    EXPECT_EQ(plasma_palette[0], 0);
    EXPECT_EQ(plasma_palette[127], 0);
    EXPECT_EQ(plasma_palette[254], 0);
}

TEST_F(PlasmaTest, DriftTurnsAtTheEightiethAndHundredFortyFirstUpdates) {
    for (int update = 1; update <= 79; ++update) {
        plasma_palette_update();
        EXPECT_EQ(red_step, -0.01) << update;
    }
    plasma_palette_update();
    EXPECT_EQ(red_step, 0.01);
    EXPECT_NEAR(red_scale, 0.2, 1e-12);
    EXPECT_LT(red_scale, 0.2);
    for (int update = 81; update <= 140; ++update) {
        plasma_palette_update();
    }
    EXPECT_EQ(red_step, 0.01);
    plasma_palette_update();
    EXPECT_EQ(red_step, -0.01);
    EXPECT_GT(red_scale, 0.8);
    for (int update = 142; update <= 201; ++update) {
        plasma_palette_update();
    }
    EXPECT_EQ(red_step, -0.01);
    plasma_palette_update();
    EXPECT_EQ(red_step, 0.01) << "202nd update";
}

} // namespace
