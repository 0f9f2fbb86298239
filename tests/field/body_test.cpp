#include <gtest/gtest.h>

#include <cmath>

#include "../match/game_harness.h"
#include "field/body.h"
#include "field/screen_area.h"

namespace {

using BodyTest = KickOffTest;

TEST_F(BodyTest, KickOffMakesRedGreenBallInOrder) {
    ASSERT_EQ(field.body_count, 3);
    const struct {
        const Body* body;
        int32_t id;
        double x, vx, vy;
        uint8_t side;
    } expected[] = {{red, 1, 80, 0.5, 0.5, 1},
                    {green, 2, 240, -0.5, 0.5, 2},
                    // The generator's first two draws, 41 and 18467 of 32768, give 0 and 56.
                    {ball, 3, 160, 0.5, 0.5 - double(56 * 0.01f), 0}};
    for (int i = 0; i < 3; ++i) {
        const auto& e = expected[i];
        SCOPED_TRACE(e.id);
        EXPECT_EQ(e.body->prev, i > 0 ? expected[i - 1].body : nullptr);
        EXPECT_EQ(e.body->next, i < 2 ? expected[i + 1].body : nullptr);
        EXPECT_EQ(e.body->id, e.id);
        EXPECT_EQ(e.body->x, e.x);
        EXPECT_EQ(e.body->y, 90.0);
        EXPECT_EQ(e.body->vx, e.vx);
        EXPECT_EQ(e.body->vy, e.vy);
        EXPECT_EQ(e.body->side, e.side);
    }
}

TEST_F(BodyTest, FreeEmptiesTheListAndIdsStartAgain) {
    body_list_free();
    EXPECT_EQ(field.body_count, 0);
    body_list_reset();
    kick_off();
    EXPECT_EQ(field.body_head->id, 1);
    EXPECT_EQ(field.body_tail->id, 3);
    // The next two draws: 6334 and 26500 of 32768 give 19 and 80.
    EXPECT_EQ(field.body_tail->vx, 0.5 - double(19 * 0.01f));
    EXPECT_EQ(field.body_tail->vy, 0.5 - double(80 * 0.01f));
}

// Bodies may stand anywhere: at the bottom row, beyond any edge, or far away. All three stand
// on one place, so putting back in any order but tail first would leave a sprite behind.
TEST_F(BodyTest, SaveUndersAreClippedAndPutBackTailFirst) {
    for (int i = 0; i < 320 * 200; ++i) {
        display.back_buffer[i] = static_cast<uint16_t>((i * 7919) & 0x7FFF);
    }
    const auto before = screen_copy();
    for (Body* b = field.body_head; b != nullptr; b = b->next) {
        body_save_background(b); // as at creation, on the patterned screen
    }
    const double places[][2] = {{310, 195}, {-5, -7},      {400, 20},   {20, 250},
                                {319, 199}, {1e12, -1e12}, {-3.5, 100}, {100, 80}};
    for (const auto& place : places) {
        for (Body* b = field.body_head; b != nullptr; b = b->next) {
            b->x = place[0];
            b->y = place[1];
        }
        bodies_restore_backgrounds();
        EXPECT_EQ(screen_copy(), before) << place[0] << "," << place[1];
        for (Body* b = field.body_head; b != nullptr; b = b->next) {
            body_save_background(b);
            sprite_draw(b->image, position_trunc(b->x), position_trunc(b->y));
        }
    }
    EXPECT_NE(screen_copy(), before);
    bodies_restore_backgrounds();
    EXPECT_EQ(screen_copy(), before);
}

TEST(ScreenArea, PositionTruncGoesTowardZeroAndStaysInRange) {
    EXPECT_EQ(position_trunc(3.9), 3);
    EXPECT_EQ(position_trunc(-3.9), -3);
    EXPECT_EQ(position_trunc(1e300), 1000000);
    EXPECT_EQ(position_trunc(-1e300), -1000000);
    EXPECT_EQ(position_trunc(std::nan("")), -1000000);
}

// The first draws are the kick-off's. The widest range would overflow a 32-bit product.
TEST(RandomBelow, StaysInRangeWhereAProductWouldOverflow) {
    random_reset();
    for (int i = 0; i < 5000; i++) {
        int32_t value = random_below(1 << 24);
        ASSERT_GE(value, 0);
        ASSERT_LT(value, 1 << 24);
    }
}

} // namespace
