// Player control: pushes per frame, opposite keys, the 3.5 limit, codes outside the key table.
#include <gtest/gtest.h>

#include "app/keyboard.h"
#include "field/body.h"
#include "field/steering.h"

namespace {

Body body_with_keys(int16_t left, int16_t right, int16_t up, int16_t down) {
    Body b{};
    b.key_left = left;
    b.key_right = right;
    b.key_up = up;
    b.key_down = down;
    return b;
}

class SteeringTest : public ::testing::Test {
  protected:
    void SetUp() override { key_state.fill(0); }
    void TearDown() override { key_state.fill(0); }
};

TEST_F(SteeringTest, TheSpeedLimitIsReachedAfter35PushesAndHoldsBothWays) {
    Body b = body_with_keys(276, 275, 273, 274);
    key_state[275] = 1;
    for (int frame = 0; frame < 34; ++frame) {
        body_steer(&b);
    }
    EXPECT_LT(b.vx, 3.5);
    for (int frame = 0; frame < 10; ++frame) {
        body_steer(&b);
    }
    EXPECT_EQ(b.vx, 3.5);
    EXPECT_EQ(b.vy, 0.0);
    b.vx = 3.5 + static_cast<double>(0.02f); // a bounce's nudge
    b.vy = -3.6;
    key_state.fill(0);
    body_steer(&b);
    EXPECT_EQ(b.vx, 3.5);
    EXPECT_EQ(b.vy, -3.5);
}

// Each key pushes by a tenth in its direction; opposite keys are both applied, left first.
TEST_F(SteeringTest, EachHeldKeyPushesByATenth) {
    const struct {
        std::array<int, 4> held; // left, right, up, down
        double vx, vy;
    } cases[] = {{{1, 0, 1, 0}, 1.0 - 0.1, 1.0 - 0.1},
                 {{0, 1, 0, 1}, 1.0 + 0.1, 1.0 + 0.1},
                 {{1, 1, 1, 1}, 1.0 - 0.1 + 0.1, 1.0 - 0.1 + 0.1}};
    for (const auto& c : cases) {
        Body b = body_with_keys(1, 2, 3, 4);
        b.vx = 1.0;
        b.vy = 1.0;
        for (int k = 0; k < 4; ++k) {
            key_state[1 + k] = static_cast<uint8_t>(c.held[k]);
        }
        body_steer(&b);
        EXPECT_EQ(b.vx, c.vx);
        EXPECT_EQ(b.vy, c.vy);
    }
}

TEST_F(SteeringTest, CodesOutsideTheKeyTableNeverSteer) {
    key_state.fill(1);
    Body b = body_with_keys(-1, 512, -300, 32767);
    body_steer(&b);
    EXPECT_EQ(b.vx, 0.0);
    EXPECT_EQ(b.vy, 0.0);
    Body edge = body_with_keys(511, 0, -1, -1);
    body_steer(&edge);
    EXPECT_EQ(edge.vx, -0.1 + 0.1);
}

} // namespace
