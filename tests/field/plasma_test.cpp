#include <gtest/gtest.h>

#include "../match/game_harness.h"
#include "field/plasma.h"

namespace {

using PlasmaTest = HarnessTest;

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
