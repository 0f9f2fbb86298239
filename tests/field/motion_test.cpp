// Motion with walls, posts and goal openings; the goal test; the field update's result.
#include <gtest/gtest.h>

#include "../match/game_harness.h"
#include "field/body.h"
#include "field/field.h"
#include "match/match_loop.h"

namespace {

class MotionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        game_harness_start();
        body_list_reset();
        kick_off();
        ball = body_tail;
        player = body_head;
    }
    void TearDown() override { game_harness_stop(); }

    Body* ball = nullptr;   // 10 x 10
    Body* player = nullptr; // 14 x 14

    static void place(Body* b, double x, double y, double vx, double vy) {
        b->x = x;
        b->y = y;
        b->vx = vx;
        b->vy = vy;
    }
};

bool nudged(double v, double before) {
    const double d = v - before;
    return d == 0.0 || d == static_cast<double>(0.02f) || d == -static_cast<double>(0.02f);
}

TEST_F(MotionTest, RightWallMirrorsTheOvershootAndNudgesOnce) {
    place(ball, 300, 100, 1.0, 0.5);
    random_reset();
    const int32_t n1 = random_below(3);
    const int32_t n2 = random_below(3);
    random_reset();
    body_move(ball, 4, 0);
    EXPECT_EQ(ball->x, 2.0 * 301 - 300 - 4);
    EXPECT_EQ(ball->y, 100);
    EXPECT_EQ(ball->vx, -1.0 + (n1 - 1) * 0.02f);
    EXPECT_EQ(ball->vy, 0.5 + (n2 - 1) * 0.02f);
}

TEST_F(MotionTest, CornerBounceNudgesOnlyOnce) {
    place(player, 295, 166, 1.0, 1.0);
    random_reset();
    body_move(player, 5, 5);
    EXPECT_EQ(player->x, 2.0 * (311 - 14) - 295 - 5);
    EXPECT_EQ(player->y, 2.0 * (183 - 14) - 166 - 5);
    EXPECT_TRUE(nudged(player->vx, -1.0));
    EXPECT_TRUE(nudged(player->vy, -1.0));
    random_reset();
    random_below(3);
    random_below(3);
    const int32_t third = random_below(100);
    random_reset();
    place(player, 295, 166, 1.0, 1.0);
    body_move(player, 5, 5);
    EXPECT_EQ(random_below(100), third);
}

TEST_F(MotionTest, LeftAndTopWallsMirrorAboutTheirBounds) {
    place(player, 9, 17, -1, -1);
    body_move(player, -3, -4);
    EXPECT_EQ(player->x, 16 - 9 + 3.0);
    EXPECT_EQ(player->y, 32 - 17 + 4.0);
    EXPECT_TRUE(nudged(player->vx, 1.0));
    EXPECT_TRUE(nudged(player->vy, 1.0));
}

TEST_F(MotionTest, BallPassesTheBottomOpeningOnlyWhenWhollyInside) {
    place(ball, 140, 172, 0, 1);
    body_move(ball, 0, 3);
    EXPECT_EQ(ball->y, 175);
    EXPECT_EQ(ball->vy, 1);
    place(ball, 130, 172, 0, 1);
    body_move(ball, 0, 3);
    EXPECT_EQ(ball->y, 2.0 * 173 - 172 - 3);
    // Right edge exactly on the post passes; one beyond does not.
    place(ball, 174, 172, 0, 1);
    body_move(ball, 0, 3);
    EXPECT_EQ(ball->y, 175);
    place(ball, 174.5, 172, 0, 1);
    body_move(ball, 0, 3);
    EXPECT_LT(ball->y, 173);
}

TEST_F(MotionTest, TheOpeningTestUsesXBeforeTheStep) {
    place(ball, 133, 172, 1, 1);
    body_move(ball, 5, 3); // ends at x 138 but was outside when crossing the line
    EXPECT_EQ(ball->y, 2.0 * 173 - 172 - 3);
    EXPECT_EQ(ball->x, 138);
}

TEST_F(MotionTest, PostsMirrorTheBallAndSkipTheSideWalls) {
    place(ball, 137, 175, -2, 1);
    body_move(ball, -3, 1);
    EXPECT_EQ(ball->x, 272 - 137 + 3.0);
    EXPECT_EQ(ball->y, 176);
    EXPECT_TRUE(nudged(ball->vx, 2));
    place(ball, 173, 10, 2, -1);
    body_move(ball, 3, -1);
    EXPECT_EQ(ball->x, 2.0 * 174 - 173 - 3);
    EXPECT_EQ(ball->y, 9);
}

TEST_F(MotionTest, PlayersNeverPassAnOpening) {
    place(player, 150, 17, 0, -1);
    body_move(player, 0, -3);
    EXPECT_EQ(player->y, 32 - 17 + 3.0);
    EXPECT_TRUE(nudged(player->vy, 1));
}

TEST_F(MotionTest, GoalTestAtItsBounds) {
    place(ball, 150, -0.5, 0, 0);
    EXPECT_EQ(goal_test(ball), 2);
    place(ball, 150, 0, 0, 0);
    EXPECT_EQ(goal_test(ball), 0);
    place(ball, 150, 190.5, 0, 0);
    EXPECT_EQ(goal_test(ball), 1);
    place(ball, 150, 190, 0, 0);
    EXPECT_EQ(goal_test(ball), 0);
    place(player, 150, -20, 0, 0);
    EXPECT_EQ(goal_test(player), 0);
}

TEST_F(MotionTest, FieldUpdateScalesByElapsedSpeedAndTenth) {
    plasma_disabled = 1;
    game_speed = 1.5;
    frame_counter = 1;
    place(ball, 150, 100, 0.3, -0.7);
    field_update(16);
    EXPECT_EQ(ball->x, 150 + 16.0 * 0.3 * 1.5 * 0.1);
    EXPECT_EQ(ball->y, 100 + 16.0 * -0.7 * 1.5 * 0.1);
    const double x = ball->x;
    field_update(0);
    EXPECT_EQ(ball->x, x) << "a frame of 0 ms moves nothing";
}

TEST_F(MotionTest, FieldUpdateReportsTheGoalOfItsFrame) {
    plasma_disabled = 1;
    frame_counter = 1;
    place(ball, 150, 1, 0, -1);
    EXPECT_EQ(field_update(16), 2);
    place(ball, 150, 189, 0, 1);
    EXPECT_EQ(field_update(16), 1);
    place(ball, 150, 100, 0, 0);
    EXPECT_EQ(field_update(16), 0);
}

TEST_F(MotionTest, FarAwayBodiesAndHugeStepsStayInsideTheBuffers) {
    plasma_disabled = 0;
    game_speed = 1e6;
    for (int frame = 0; frame < 50; ++frame) {
        frame_counter = frame;
        field_update(1000 + frame);
    }
    // Whatever was drawn, erasing leaves no body pixel outside the screen's own buffer.
    bodies_restore_backgrounds();
    EXPECT_EQ(body_count, 3);
}

} // namespace
