#include "gfx/channel.h"
#include "gfx/display.h"
#include "support/scripted_support.h"

#include <gtest/gtest.h>

namespace {

class Channels : public ::testing::Test {
  protected:
    void SetUp() override { pixel_format_init(); }
};

TEST_F(Channels, DimmedReadsFloorAtZeroAndPutsReplaceOneChannel) {
    const uint16_t pixels[] = {0x7FFF, rgb555(9, 3, 9)};
    EXPECT_EQ(pixel_red_dimmed(pixels, 0, 31), 0);
    EXPECT_EQ(pixel_red_dimmed(pixels, 0, 30), 0x0400);
    EXPECT_EQ(pixel_green_dimmed(pixels, 0, 1), 30 << 5);
    EXPECT_EQ(pixel_blue_dimmed(pixels, 0, 16), 15);
    EXPECT_EQ(pixel_green_dimmed(pixels, 1, 3), 0);
    EXPECT_EQ(pixel_green_dimmed(pixels, 1, 2), 1 << 5);
    // Puts replace one channel and or the value in.
    uint16_t buffer[] = {0x7FFF, rgb555(1, 2, 3)};
    pixel_put_blue(buffer, 0, 0);
    EXPECT_EQ(buffer[0], rgb555(31, 31, 0));
    pixel_put_red(buffer, 1, 20 << 10);
    EXPECT_EQ(buffer[1], rgb555(20, 2, 3));
    pixel_put_green(buffer, 1, 0);
    EXPECT_EQ(buffer[1], rgb555(20, 0, 3));
    // The value is not masked: bits outside the channel land in the others.
    pixel_put_green(buffer, 1, static_cast<uint16_t>((1 << 10) | (7 << 5) | 1));
    EXPECT_EQ(buffer[1], rgb555(21, 7, 3));
}

} // namespace
