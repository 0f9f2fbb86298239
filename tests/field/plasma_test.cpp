#include <gtest/gtest.h>

#include "../match/game_harness.h"
#include "field/plasma.h"

namespace {

using PlasmaTest = HarnessTest;

// Entry i of the starting ramps holds levels (i / 6, i / 2, i / 6).
TEST_F(PlasmaTest, StartingPaletteHasTwoRampsAndBlackEnds) {
    const std::pair<uint16_t, std::vector<int>> cases[] = {
        {0, {0, 127, 254, 255}},        {rgb555(10, 31, 10), {63, 64, 190, 191}},
        {rgb555(0, 1, 0), {125, 129}},  {rgb555(1, 5, 1), {10}},
        {rgb555(6, 20, 6), {167, 214}},
    };
    for (const auto& [colour, entries] : cases) {
        for (int i : entries) {
            EXPECT_EQ(plasma.plasma_palette[i], colour) << i;
        }
    }
}

TEST_F(PlasmaTest, ThePatternGrowsTwoRowsPerComputeUpTo200) {
    plasma_compute();
    EXPECT_EQ(plasma.plasma_rows, 2);
    EXPECT_EQ(plasma.plasma_phase_1, 9);
    EXPECT_EQ(plasma.plasma_phase_2, 91);
    EXPECT_EQ(plasma.plasma_buffer[2 * 304], 0) << "row 2 not computed yet";

    plasma_blit();
    EXPECT_EQ(screen_pixel(8, 16), plasma.plasma_palette[plasma.plasma_buffer[0]]);
    EXPECT_EQ(screen_pixel(311, 17), plasma.plasma_palette[plasma.plasma_buffer[304 + 303]]);
    EXPECT_EQ(screen_pixel(8, 18), plasma.plasma_palette[0]) << "black below the grown rows";
    EXPECT_EQ(screen_pixel(7, 16), 0) << "nothing outside the inner area";
    EXPECT_EQ(screen_pixel(312, 16), 0);

    for (int i = 1; i <= 100; ++i) {
        plasma_compute();
    }
    EXPECT_EQ(plasma.plasma_rows, 200);
    plasma_blit();
    EXPECT_EQ(screen_pixel(100, 183), plasma.plasma_palette[plasma.plasma_buffer[167 * 304 + 92]]);
    EXPECT_EQ(screen_pixel(100, 184), 0) << "rows 168 on are never shown";
}

// After the first update, the drift turns at the 80th, 141st and 202nd; entry 255 stays black.
TEST_F(PlasmaTest, PaletteDriftsAndTurnsAndByteValue255IsDrawnBlack) {
    plasma_palette_update();
    EXPECT_NEAR(plasma.red_scale, 0.99, 1e-12);
    EXPECT_NEAR(plasma.green_scale, 0.01, 1e-12);
    EXPECT_NEAR(plasma.blue_scale, 0.3, 1e-12);
    // i = 63: red trunc(31.5 * 0.99) = 31, green trunc(31 * 0.01) = 0, blue trunc(31.5 * 0.3) = 9.
    EXPECT_EQ(plasma.plasma_palette[63], rgb555(31, 0, 9));
    EXPECT_EQ(plasma.plasma_palette[190], rgb555(31, 0, 9));
    EXPECT_EQ(plasma.plasma_palette[127], 0);
    double step = -0.01;
    for (int update = 1; update <= 300; ++update) {
        if (update > 1) {
            plasma_palette_update();
        }
        step = update == 80 || update == 141 || update == 202 ? -step : step;
        ASSERT_TRUE(update > 202 || plasma.red_step == step) << update;
    }
    std::fill(plasma.plasma_buffer.begin(), plasma.plasma_buffer.begin() + 304 * 200, 255);
    plasma_blit();
    EXPECT_EQ(screen_pixel(50, 50), 0);
}

} // namespace
