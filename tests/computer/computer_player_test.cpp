#include "computer/computer_player.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Bodies of the game's sizes: players 18 x 18, ball 10 x 10, at GameSpeed 10 and 16 ms frames.
ComputerView view_at(double rx, double ry, double gx, double gy, double bx, double by,
                     double game_speed = 1.0) {
    ComputerView v{};
    v.red = {rx, ry, 0, 0, 18, 18};
    v.green = {gx, gy, 0, 0, 18, 18};
    v.ball = {bx, by, 0, 0, 10, 10};
    v.remaining_ms = 84000;
    v.game_speed = game_speed;
    v.elapsed_ms = 16;
    return v;
}

// Views of every kind: anywhere on the pitch (and a little beyond), any velocity, both game
// speed signs, frames in order and out of it.
std::vector<ComputerView> varied_views(int count) {
    uint32_t state = 12345;
    auto next = [&state](double lo, double hi) {
        state = state * 214013u + 2531011u;
        return lo + (hi - lo) * ((state >> 16) & 0x7FFF) / 32767.0;
    };
    std::vector<ComputerView> views;
    for (int i = 0; i < count; ++i) {
        ComputerView v = view_at(next(0, 310), next(0, 190), next(0, 310), next(0, 190),
                                 next(0, 320), next(-10, 205));
        for (ComputerBody* b : {&v.red, &v.green, &v.ball}) {
            b->vx = next(-3.6, 3.6);
            b->vy = next(-3.6, 3.6);
        }
        v.frame_count = i % 97 == 0 ? static_cast<int>(next(0, 5000)) : i;
        v.game_speed = i % 5 == 0 ? -2.0 : next(0.1, 3);
        v.elapsed_ms = i % 13 == 0 ? 0 : 16;
        v.side1_score = i / 400;
        views.push_back(v);
    }
    return views;
}

// Never opposite keys, and the same views give the same bits whatever another computer player
// does in between.
TEST(ComputerPlayer, NeverHoldsOppositeKeysAndSameViewsGiveSameBits) {
    const std::vector<ComputerView> views = varied_views(1200);
    for (int side = 1; side <= 2; ++side) {
        for (int skill = 1; skill <= 3; ++skill) {
            ComputerPlayer player, again, other;
            computer_player_start(&player, side, skill);
            computer_player_start(&again, side, skill);
            computer_player_start(&other, 3 - side, skill);
            for (size_t i = 0; i < views.size(); ++i) {
                const uint8_t bits = computer_player_steer(&player, views[i]);
                ASSERT_EQ(bits & ~15, 0);
                ASSERT_FALSE((bits & 1) && (bits & 2));
                ASSERT_FALSE((bits & 4) && (bits & 8));
                computer_player_steer(&other, views[views.size() - 1 - i]);
                ASSERT_EQ(computer_player_steer(&again, views[i]), bits) << side << skill << i;
            }
        }
    }
}

// A ball standing still far from the player. Red shoots down, so from the top-left corner it
// must head right and down for a ball low on the right; green, from the bottom-right, left and
// up for a ball high on the left. With the game speed negative the bodies move against their
// velocities, so the keys turn round.
TEST(ComputerPlayer, StepsTowardsABallStandingStill) {
    const struct {
        const char* name;
        int side;
        ComputerView view;
        uint8_t expected;
    } cases[] = {
        {"red", 1, view_at(20, 16, 282, 165, 200, 140), 2 | 8},
        {"green", 2, view_at(20, 16, 282, 165, 110, 40), 1 | 4},
        {"red, speed -1", 1, view_at(20, 16, 282, 165, 200, 140, -1.0), 1 | 4},
    };
    for (const auto& c : cases) {
        ComputerPlayer player;
        computer_player_start(&player, c.side, 3);
        EXPECT_EQ(computer_player_steer(&player, c.view), c.expected) << c.name;
    }
}

} // namespace
