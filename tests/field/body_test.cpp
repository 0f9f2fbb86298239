// Bodies, the body list, kick-off and the save-unders.
#include <gtest/gtest.h>

#include "../match/game_harness.h"
#include "field/body.h"
#include "field/screen_area.h"

namespace {

class BodyTest : public ::testing::Test {
  protected:
    void SetUp() override { game_harness_start(); }
    void TearDown() override { game_harness_stop(); }
};

void screen_fill_pattern() {
    for (int i = 0; i < 320 * 200; ++i) {
        back_buffer[i] = static_cast<uint16_t>((i * 7919) & 0x7FFF);
    }
}

TEST_F(BodyTest, KickOffMakesRedGreenBallInOrder) {
    body_list_reset();
    kick_off();
    ASSERT_EQ(body_count, 3);
    const Body* red = body_head;
    const Body* green = red->next;
    const Body* ball = green->next;
    EXPECT_EQ(ball, body_tail);
    EXPECT_EQ(ball->next, nullptr);
    EXPECT_EQ(red->prev, nullptr);
    EXPECT_EQ(ball->prev, green);
    EXPECT_EQ(green->prev, red);
    EXPECT_EQ(red->id, 1);
    EXPECT_EQ(green->id, 2);
    EXPECT_EQ(ball->id, 3);
    EXPECT_EQ(red->image, red_image);
    EXPECT_EQ(ball->image, ball_image);
    EXPECT_EQ(red->kind, Player);
    EXPECT_EQ(ball->kind, Ball);
    EXPECT_EQ(red->x, 80.0);
    EXPECT_EQ(green->x, 240.0);
    EXPECT_EQ(ball->x, 160.0);
    for (const Body* b = body_head; b != nullptr; b = b->next) {
        EXPECT_EQ(b->y, 90.0);
        EXPECT_EQ(b->prev_x, b->x);
        EXPECT_EQ(b->prev_y, b->y);
        EXPECT_EQ(b->last_partner, nullptr);
    }
    EXPECT_EQ(red->vx, 0.5);
    EXPECT_EQ(red->vy, 0.5);
    EXPECT_EQ(green->vx, -0.5);
    EXPECT_EQ(green->vy, 0.5);
    EXPECT_EQ(red->key_left, 276);
    EXPECT_EQ(red->key_down, 274);
    EXPECT_EQ(green->key_left, 111);
    EXPECT_EQ(green->key_down, 97);
    EXPECT_EQ(ball->key_left, -1);
    EXPECT_EQ(ball->key_up, -1);
    EXPECT_EQ(bodies_live, 1);
}

TEST_F(BodyTest, BallVelocityUsesTwoDrawsInSinglePrecisionSteps) {
    random_reset();
    const int32_t r1 = random_below(100);
    const int32_t r2 = random_below(100);
    random_reset();
    body_list_reset();
    kick_off();
    const Body* ball = body_tail;
    EXPECT_EQ(ball->vx, 0.5 - static_cast<double>(static_cast<float>(r1) * 0.01f));
    EXPECT_EQ(ball->vy, 0.5 - static_cast<double>(static_cast<float>(r2) * 0.01f));
    EXPECT_GE(ball->vx, 0.5 - 99 * 0.01f);
    EXPECT_LE(ball->vx, 0.5);
}

TEST_F(BodyTest, FirstSaveUnderRestoresTheBackgroundOfCreation) {
    screen_fill_pattern();
    const auto before = screen_copy();
    body_list_reset();
    kick_off();
    for (Body* b = body_head; b != nullptr; b = b->next) {
        sprite_draw(b->image, static_cast<int>(b->x), static_cast<int>(b->y));
    }
    EXPECT_NE(screen_copy(), before);
    bodies_restore_backgrounds();
    EXPECT_EQ(screen_copy(), before);
}

TEST_F(BodyTest, RestoreRunsTailToHeadSoOverlapsLeaveOnlyTheBackground) {
    screen_fill_pattern();
    const auto before = screen_copy();
    body_list_reset();
    kick_off();
    Body* red = body_head;
    Body* ball = body_tail;
    // The ball overlaps the red player, drawn earlier in the same frame.
    ball->x = ball->prev_x = red->x + 5;
    ball->y = ball->prev_y = red->y + 5;
    for (Body* b = body_head; b != nullptr; b = b->next) {
        body_save_background(b);
        sprite_draw(b->image, static_cast<int>(b->x), static_cast<int>(b->y));
    }
    bodies_restore_backgrounds();
    EXPECT_EQ(screen_copy(), before);
    EXPECT_EQ(ball->prev_x, ball->x);
}

TEST_F(BodyTest, FreeEmptiesTheListAndIdsStartAgain) {
    body_list_free(); // empty: nothing changes
    body_list_reset();
    EXPECT_EQ(bodies_live, 1);
    body_list_free();
    EXPECT_EQ(bodies_live, 1) << "freeing an empty list keeps the flag";
    body_template.image = ball_image;
    body_template.kind = Ball;
    body_create(body_template);
    EXPECT_EQ(body_head, body_tail);
    body_list_free();
    EXPECT_EQ(body_head, nullptr);
    EXPECT_EQ(body_tail, nullptr);
    EXPECT_EQ(body_count, 0);
    EXPECT_EQ(bodies_live, 0);
    body_list_reset();
    kick_off();
    EXPECT_EQ(body_head->id, 1);
    EXPECT_EQ(body_tail->id, 3);
}

// Bodies may stand anywhere: at the bottom row, beyond any edge, or far away.
TEST_F(BodyTest, SaveUndersAreClippedToTheScreen) {
    screen_fill_pattern();
    const auto before = screen_copy();
    body_list_reset();
    kick_off();
    const double places[][2] = {{140, 190}, {310, 195},    {-5, -7},    {-100, 50},
                                {400, 20},  {20, 250},     {315, 199},  {319, 199},
                                {0, 0},     {1e12, -1e12}, {-3.5, 100}, {200, -0.5}};
    for (const auto& place : places) {
        for (Body* b = body_head; b != nullptr; b = b->next) {
            b->x = place[0];
            b->y = place[1];
        }
        bodies_restore_backgrounds();
        for (Body* b = body_head; b != nullptr; b = b->next) {
            body_save_background(b);
            sprite_draw(b->image, position_trunc(b->x), position_trunc(b->y));
        }
    }
    bodies_restore_backgrounds();
    EXPECT_EQ(screen_copy(), before);
}

TEST(ScreenArea, PositionTruncGoesTowardZeroAndStaysInRange) {
    EXPECT_EQ(position_trunc(3.9), 3);
    EXPECT_EQ(position_trunc(-3.9), -3);
    EXPECT_EQ(position_trunc(-0.5), 0);
    EXPECT_EQ(position_trunc(1e300), 1000000);
    EXPECT_EQ(position_trunc(-1e300), -1000000);
}

} // namespace
