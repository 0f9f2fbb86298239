#include "app/display.h"
#include "gfx/channel.h"
#include "support/scripted_support.h"

#include <gtest/gtest.h>

namespace {

class Channels : public ::testing::Test {
  protected:
    void SetUp() override { pixel_format_init(); }
};

TEST_F(Channels, DimmedReadsLowerAndFloorAtZero) {
    const uint16_t white[] = {0x7FFF};
    EXPECT_EQ(pixel_red_dimmed(white, 0, 31), 0);
    EXPECT_EQ(pixel_red_dimmed(white, 0, 30), 0x0400);
    EXPECT_EQ(pixel_red_dimmed(white, 0, 0), 0x7C00);
    EXPECT_EQ(pixel_green_dimmed(white, 0, 1), 30 << 5);
    EXPECT_EQ(pixel_blue_dimmed(white, 0, 16), 15);
    const uint16_t dim_green[] = {0, rgb555(9, 3, 9)};
    EXPECT_EQ(pixel_green_dimmed(dim_green, 1, 5), 0);
    EXPECT_EQ(pixel_green_dimmed(dim_green, 1, 3), 0);
    EXPECT_EQ(pixel_green_dimmed(dim_green, 1, 2), 1 << 5);
}

TEST_F(Channels, PutsReplaceOneChannelOnly) {
    uint16_t buffer[] = {0x7FFF, rgb555(1, 2, 3)};
    pixel_put_blue(buffer, 0, 0);
    EXPECT_EQ(buffer[0], rgb555(31, 31, 0));
    pixel_put_red(buffer, 1, 20 << 10);
    EXPECT_EQ(buffer[1], rgb555(20, 2, 3));
    pixel_put_green(buffer, 1, 0);
    EXPECT_EQ(buffer[1], rgb555(20, 0, 3));
}

TEST_F(Channels, PutGreenOrsAValueOutsideItsMask) {
    uint16_t buffer[] = {rgb555(0, 5, 0)};
    pixel_put_green(buffer, 0, static_cast<uint16_t>((1 << 10) | (7 << 5) | 1));
    EXPECT_EQ(buffer[0], rgb555(1, 7, 1));
}

TEST_F(Channels, DimmedCopyFadesEveryChannel) {
    const uint16_t source[] = {rgb555(31, 10, 2)};
    uint16_t target[] = {0x7FFF};
    pixel_put_red(target, 0, pixel_red_dimmed(source, 0, 4));
    pixel_put_green(target, 0, pixel_green_dimmed(source, 0, 4));
    pixel_put_blue(target, 0, pixel_blue_dimmed(source, 0, 4));
    EXPECT_EQ(target[0], rgb555(27, 6, 0));
}

} // namespace
