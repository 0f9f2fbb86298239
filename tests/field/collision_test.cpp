#include <gtest/gtest.h>

#include <tuple>

#include "../match/game_harness.h"
#include "field/body.h"
#include "field/collision.h"
#include "field/field.h"

namespace {

class CollisionTest : public KickOffTest {
  protected:
    void SetUp() override {
        KickOffTest::SetUp();
        contact_matrix_clear();
        // Far apart unless a test brings them together.
        place(red, 20, 20, 1, 2);
        place(green, 250, 150, -3, 4);
        place(ball, 100, 100, 0.25, -0.5);
    }
    // The next frame: the matrix starts empty again.
    void collide_again(Body* b) {
        contact_matrix_clear();
        body_collide(b);
    }
};

// The ball's box (its truncated position, shrunk by 2) must overlap red's exact 14-pixel box.
TEST_F(CollisionTest, TheBoxIsShrunkByTwoAndStrict) {
    // 108 < 100 + 10 - 2 fails; 88 + 14 > 100 + 2 fails.
    const std::tuple<double, double, bool> cases[] = {
        {100, 107.5, true}, {100, 108, false}, {100.9, 88.01, true}, {100.9, 88, false}};
    for (const auto& [ball_x, red_x, exchange] : cases) {
        contact_matrix_clear();
        field.skip_next_collision = 0;
        ball->last_partner = nullptr;
        place(ball, ball_x, 100, 0.25, -0.5);
        place(red, red_x, 100, 1, 2);
        body_collide(ball);
        SCOPED_TRACE(testing::Message() << ball_x << " / " << red_x);
        EXPECT_EQ(ball->vx, exchange ? 1 : 0.25);
        EXPECT_EQ(red->vy, exchange ? -0.5 : 2);
        EXPECT_EQ(ball->last_partner, exchange ? red : nullptr);
    }
}

TEST_F(CollisionTest, AStayingContactExchangesOnce) {
    place(red, 104, 100, 1, 2);
    body_collide(ball);
    EXPECT_EQ(ball->vx, 1);
    ball->last_partner = nullptr;
    body_collide(ball);
    EXPECT_EQ(ball->vx, 1) << "the matrix stops a second exchange in one frame";
    ball->last_partner = red;
    collide_again(ball);
    EXPECT_EQ(ball->vx, 1) << "the last partner is ignored";
    EXPECT_EQ(ball->last_partner, red) << "an ignored contact keeps the partner";
    place(red, 20, 20, 1, 2); // apart for a frame
    collide_again(ball);
    EXPECT_EQ(ball->last_partner, nullptr);
    place(red, 104, 100, 7, 7);
    collide_again(ball);
    EXPECT_EQ(ball->vx, 7) << "a new contact after a frame apart";
}

TEST_F(CollisionTest, AWedgedBallAlternatesBetweenThePlayers) {
    place(red, 96, 100, 1, 1);
    place(green, 104, 100, 2, 2);
    body_collide(ball);
    EXPECT_EQ(ball->last_partner, red) << "red comes first in the list";
    collide_again(ball);
    EXPECT_EQ(ball->last_partner, green);
    collide_again(ball);
    EXPECT_EQ(ball->last_partner, red);
}

TEST_F(CollisionTest, PlayersExchangeNeitherWithPlayersNorWithTheBallAtTheTail) {
    place(green, 22, 22, -3, 4);
    place(ball, 22, 22, 0.25, -0.5); // on top of red too, but last in the list
    red->last_partner = green;
    body_collide(red);
    body_collide(green);
    EXPECT_EQ(red->vx, 1);
    EXPECT_EQ(green->vx, -3);
    EXPECT_EQ(ball->vx, 0.25);
    EXPECT_EQ(red->last_partner, nullptr) << "no eligible contact resets the partner";
    EXPECT_EQ(field.skip_next_collision, 0);
}

TEST_F(CollisionTest, AnExchangeSkipsTheNextBodysStepOnly) {
    game_settings.plasma_disabled = 1;
    place(red, 104, 100, 0, 0);
    place(ball, 100, 100, 0, 0);
    field_update(0, 1); // the ball exchanges (zero velocities both: nothing visible moves)
    EXPECT_EQ(field.skip_next_collision, 1);
    EXPECT_EQ(ball->last_partner, red);
    red->last_partner = green; // would be cleared by red's own scan
    field_update(0, 1);
    EXPECT_EQ(red->last_partner, green) << "red's step was skipped";
    EXPECT_EQ(field.skip_next_collision, 0);
    field_update(0, 1);
    EXPECT_EQ(red->last_partner, nullptr);
}

} // namespace
