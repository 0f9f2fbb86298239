// Player control: pushes per frame, opposite directions, the 3.5 limit.
#include <gtest/gtest.h>

#include "field/body.h"
#include "field/steering.h"

namespace {

// Steering bits as the input record holds them: left 1, right 2, up 4, down 8.
TEST(Steering, TheSpeedLimitIsReachedAfter35PushesAndHoldsBothWays) {
    Body b{};
    for (int frame = 0; frame < 34; ++frame) {
        body_steer(&b, 2);
    }
    EXPECT_LT(b.vx, 3.5);
    for (int frame = 0; frame < 10; ++frame) {
        body_steer(&b, 2);
    }
    EXPECT_EQ(b.vx, 3.5);
    EXPECT_EQ(b.vy, 0.0);
    b.vx = 3.5 + static_cast<double>(0.02f); // a bounce's nudge
    b.vy = -3.6;
    body_steer(&b, 0);
    EXPECT_EQ(b.vx, 3.5);
    EXPECT_EQ(b.vy, -3.5);
}

// Each direction pushes by a tenth; opposite ones are both applied, left first.
TEST(Steering, EachHeldDirectionPushesByATenth) {
    const struct {
        uint8_t bits;
        double vx, vy;
    } cases[] = {{1 | 4, 1.0 - 0.1, 1.0 - 0.1},
                 {2 | 8, 1.0 + 0.1, 1.0 + 0.1},
                 {15, 1.0 - 0.1 + 0.1, 1.0 - 0.1 + 0.1}};
    for (const auto& c : cases) {
        Body b{};
        b.vx = 1.0;
        b.vy = 1.0;
        body_steer(&b, c.bits);
        EXPECT_EQ(b.vx, c.vx);
        EXPECT_EQ(b.vy, c.vy);
    }
}

} // namespace
