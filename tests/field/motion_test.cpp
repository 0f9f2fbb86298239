#include <gtest/gtest.h>

#include <tuple>

#include "../match/game_harness.h"
#include "field/body.h"
#include "field/field.h"
#include "field/steering.h"

namespace {

using MotionTest = KickOffTest;

// Walls at x 8 and 311, y 16 and 183; posts at 136 and 184; a bounce mirrors the overshoot.
// From a fresh start the generator's first two draws below 3 are 0 and 1: a bounce nudges vx by
// -0.02 and vy by nothing, once however many walls it meets.
TEST_F(MotionTest, WallsPostsAndOpenings) {
    const struct {
        const char* what;
        bool is_ball;
        double x, y, dx, dy;
        double end_x, end_y;
        bool flip_x, flip_y;
    } cases[] = {
        {"right wall", true, 300, 100, 4, 0, 298, 100, true, false},
        {"corner", false, 295, 166, 5, 5, 294, 167, true, true},
        {"left and top walls", false, 9, 17, -3, -4, 10, 19, true, true},
        {"ball across the left post", true, 130, 172, 0, 3, 130, 171, false, true},
        {"right edge on the post passes", true, 174, 172, 0, 3, 174, 175, false, false},
        {"right edge beyond the post", true, 174.5, 172, 0, 3, 174.5, 171, false, true},
        {"opening judged before the step", true, 133, 172, 5, 3, 138, 171, false, true},
        {"left post", true, 137, 175, -3, 1, 138, 176, true, false},
        {"right post in the top opening", true, 173, 10, 3, -1, 172, 9, true, false},
        {"players never pass an opening", false, 150, 17, 0, -3, 150, 18, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Body* b = c.is_ball ? ball : red;
        place(b, c.x, c.y, 1, 1);
        random_reset();
        body_move(b, c.dx, c.dy);
        EXPECT_EQ(b->x, c.end_x);
        EXPECT_EQ(b->y, c.end_y);
        const double nudge = c.flip_x || c.flip_y ? -static_cast<double>(0.02f) : 0.0;
        EXPECT_EQ(b->vx, (c.flip_x ? -1 : 1) + nudge);
        EXPECT_EQ(b->vy, c.flip_y ? -1 : 1);
    }
}

TEST_F(MotionTest, GoalTestAtItsBounds) {
    const std::pair<double, int32_t> cases[] = {
        {-0.5, goal_side2}, {0, goal_none}, {190.5, goal_side1}, {190, goal_none}};
    for (const auto& [y, goal] : cases) {
        place(ball, 150, y, 0, 0);
        EXPECT_EQ(goal_test(ball), goal) << y;
    }
    place(red, 150, -20, 0, 0);
    EXPECT_EQ(goal_test(red), goal_none);
}

TEST_F(MotionTest, FieldUpdateMovesByElapsedSpeedAndATenthAndReportsTheGoal) {
    game_settings.plasma_disabled = 1;
    game_settings.game_speed = 1.5;
    place(ball, 150, 100, 0.3, -0.7);
    EXPECT_EQ(field_update(16, 1), goal_none);
    EXPECT_EQ(ball->x, 150 + 16.0 * 0.3 * 1.5 * 0.1);
    EXPECT_EQ(ball->y, 100 + 16.0 * -0.7 * 1.5 * 0.1);
    place(ball, 150, 1, 0, -1);
    EXPECT_EQ(field_update(16, 1), goal_side2);
}

// Huge steps throw the bodies far off the screen; the sanitizer build checks every access.
TEST_F(MotionTest, FarAwayBodiesAndHugeStepsStayInsideTheBuffers) {
    game_settings.game_speed = 1e6;
    for (int frame = 0; frame < 50; ++frame) {
        field_update(1000 + frame, frame);
    }
    bodies_restore_backgrounds();
    EXPECT_EQ(field.body_count, 3);
}

// Steering bits as the input record holds them: left 1, right 2, up 4, down 8. Each pushes by a
// tenth, opposite ones both (left first), and the speed is held to 3.5 both ways.
TEST(Steering, EachHeldDirectionPushesByATenthUpToTheSpeedLimit) {
    const std::tuple<uint8_t, double, double> cases[] = {{1 | 4, 1.0 - 0.1, 1.0 - 0.1},
                                                         {2 | 8, 1.0 + 0.1, 1.0 + 0.1},
                                                         {15, 1.0 - 0.1 + 0.1, 1.0 - 0.1 + 0.1}};
    for (const auto& [bits, vx, vy] : cases) {
        Body b{};
        b.vx = b.vy = 1.0;
        body_steer(&b, bits);
        EXPECT_EQ(b.vx, vx) << int(bits);
        EXPECT_EQ(b.vy, vy) << int(bits);
    }
    Body b{};
    for (int frame = 0; frame < 34; ++frame) {
        body_steer(&b, 2);
    }
    EXPECT_LT(b.vx, 3.5) << "the limit takes 35 pushes";
    body_steer(&b, 2);
    body_steer(&b, 2);
    EXPECT_EQ(b.vx, 3.5);
    EXPECT_EQ(b.vy, 0.0);
    b.vx = 3.5 + static_cast<double>(0.02f); // a bounce's nudge
    b.vy = -3.6;
    body_steer(&b, 0);
    EXPECT_EQ(b.vx, 3.5);
    EXPECT_EQ(b.vy, -3.5);
}

} // namespace
