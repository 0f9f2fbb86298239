// Score markers, the clock bar, the match clock, time-up's rule and the goal animation areas.
#include <gtest/gtest.h>

#include "game_harness.h"
#include "match/clock.h"
#include "match/match_loop.h"
#include "match/score_display.h"
#include "match/sequences.h"

namespace {

// Pixels just dark enough to blend under a panel's threshold, and just too bright: in the last
// row of every marker frame levels 22 and 24 (red 11 and 12), in the clock's left cap levels 14
// and 16 (red 7 and 8), and in the first goal animation strip levels 22 and 24.
std::vector<TestEntry> panels_archive_entries() {
    std::vector<TestEntry> e = game_archive_entries();
    e[22] =
        image_entry(10, 240, pixels_of(10, 240, [](int x, int y) {
                        return y % 8 == 7 && x >= 8 ? rgb555(x + 3, 0, 0) : rgb555(y / 8, 31, 20);
                    }));
    e[21] = image_entry(101, 8, pixels_of(101, 8, [](int x, int y) {
                            return y == 7 && x < 2 ? rgb555(x + 7, 0, 0) : clock_colour(x, y);
                        }));
    e[24] = image_entry(43, 962,
                        pixels_of(43, 962, [](int x, int) { return rgb555(11 + x % 2, 0, 0); }));
    return e;
}

// On the drawn pitch with the score panels saved, scores 0-0. The panels' background is grey
// (20, 20, 20).
class PanelsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        game_harness_start({}, panels_archive_entries());
        MatchState state{};
        match_begin(state, harness_input());
    }
    void TearDown() override { game_harness_stop(); }
};

uint16_t marker_colour(int frame) {
    return rgb555(frame, 31, 20);
}

TEST_F(PanelsTest, MarkersShowEachSidesGoalsHalfACycleApartAndWrapAfterThirty) {
    match.side2_score = 3;
    const uint16_t top_background = screen_pixel(75, 4);
    score_display(); // the first of the run: frame 1 at the top, 16 at the bottom
    EXPECT_EQ(match.marker_frame, 1);
    EXPECT_EQ(screen_pixel(75, 4), top_background) << "side 1 has no goal";
    for (int x : {70, 82, 94}) {
        EXPECT_EQ(screen_pixel(x, 191), marker_colour(16)) << x;
        EXPECT_EQ(screen_pixel(x + 7, 198), marker_colour(16)) << x;
        // Blended under threshold 22: grey at 42/64 plus red 11 at 22/64; level 24 drawn as is.
        EXPECT_EQ(screen_pixel(x + 8, 198), rgb555(16, 13, 13)) << x;
        EXPECT_EQ(screen_pixel(x + 9, 198), rgb555(12, 0, 0)) << x;
    }
    EXPECT_NE(screen_pixel(106, 191), marker_colour(16));

    match.side1_score = 9; // above 5 still shows five
    match.side2_score = 1;
    for (int call = 0; call < 30; ++call) {
        score_display();
    }
    EXPECT_EQ(match.marker_frame, 1);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(screen_pixel(70 + 12 * i, 0), marker_colour(1));
    }
    EXPECT_NE(screen_pixel(130, 0), marker_colour(1));
    for (int call = 0; call < 14; ++call) {
        score_display();
    }
    EXPECT_EQ(match.marker_frame, 15);
    EXPECT_EQ(screen_pixel(70, 191), marker_colour(0)) << "15 + 15 wraps to 0";
    match.side1_score = 0;
    alpha_threshold = -7;
    score_display();
    EXPECT_EQ(alpha_threshold, -7);
    EXPECT_EQ(screen_pixel(70, 0), pictures.pitch_image->pixels[70]);
    EXPECT_EQ(screen_pixel(125, 9), pictures.pitch_image->pixels[9 * 320 + 125]);
}

uint16_t clock_cell(int cell, int row) {
    return rgb555(31, cell % 32, row * 4);
}

// x of clock pixels: 215 + 9 cap, then cells, then the 8-pixel cap.
TEST_F(PanelsTest, ClockRowsFollowTheCellCount) {
    const uint16_t white = rgb555(31, 31, 31);
    clock_display(84);
    // Blended under threshold 15: grey at 50/64 plus red 7 at 14/64; level 16 drawn as is.
    EXPECT_EQ(screen_pixel(215, 7), rgb555(17, 15, 15));
    EXPECT_EQ(screen_pixel(216, 7), rgb555(8, 0, 0));
    for (int row = 0; row < 8; ++row) {
        EXPECT_EQ(screen_pixel(217, row), white);
        EXPECT_EQ(screen_pixel(224, row), clock_cell(0, row));
        EXPECT_EQ(screen_pixel(224 + 83, row), clock_cell(83, row));
        EXPECT_EQ(screen_pixel(308, row), white);
        EXPECT_EQ(screen_pixel(315, row), white);
    }
    EXPECT_EQ(screen_pixel(316, 0), pictures.pitch_image->pixels[316]);
    EXPECT_EQ(screen_pixel(215, 8), pictures.pitch_image->pixels[8 * 320 + 215]);
    const auto full = screen_copy();
    clock_display(90);
    EXPECT_EQ(screen_copy(), full) << "above 84 draws like 84";

    clock_display(0);
    EXPECT_EQ(screen_pixel(223, 3), white);
    EXPECT_EQ(screen_pixel(224, 3), white) << "the right cap follows the left cap";
    EXPECT_EQ(screen_pixel(231, 3), white);
    EXPECT_EQ(screen_pixel(232, 3), pictures.pitch_image->pixels[3 * 320 + 232])
        << "black is see-through";

    alpha_threshold = 40;
    clock_display(40);
    EXPECT_EQ(alpha_threshold, 40);
    EXPECT_EQ(screen_pixel(224 + 39, 5), clock_cell(39, 5));
    EXPECT_EQ(screen_pixel(224 + 40, 5), white);
    EXPECT_EQ(screen_pixel(224 + 48, 5), pictures.pitch_image->pixels[5 * 320 + 272]);
}

// Over grey, from 3 left of and 11 above the red player at (80, 90); the threshold is its own.
TEST_F(PanelsTest, GoalAnimationBlendsUnderThreshold22) {
    std::fill_n(display.back_buffer, 320 * 200, rgb555(20, 20, 20));
    alpha_threshold = 40;
    goal_animation();
    EXPECT_EQ(alpha_threshold, 40);
    EXPECT_EQ(screen_pixel(77, 79), rgb555(16, 13, 13));
    EXPECT_EQ(screen_pixel(78, 79), rgb555(12, 0, 0));
    EXPECT_EQ(screen_pixel(76, 79), rgb555(20, 20, 20));
}

TEST(MatchClock, CellsOfAStepEachTimeUpOnceAndLongLengthsWithoutOverflow) {
    MatchClock clock = match_clock_start(84);
    EXPECT_EQ(clock.step, 1000);
    EXPECT_EQ(match_clock_advance(clock, 0), ClockEvent::none);
    EXPECT_EQ(match_clock_advance(clock, 16), ClockEvent::redraw);
    EXPECT_EQ(clock.shown_cells, 83);
    EXPECT_EQ(match_clock_advance(clock, 16), ClockEvent::none);
    EXPECT_EQ(match_clock_advance(clock, 83968 - 82999), ClockEvent::redraw);
    EXPECT_EQ(clock.shown_cells, 82);
    EXPECT_EQ(match_clock_advance(clock, 82999), ClockEvent::time_up) << "exactly zero";
    EXPECT_EQ(match_clock_advance(clock, 16), ClockEvent::none) << "time-up comes once";

    MatchClock short_clock = match_clock_start(1); // 11 ms cells: up to 90 of them
    EXPECT_EQ(match_clock_advance(short_clock, 1), ClockEvent::redraw);
    EXPECT_EQ(short_clock.shown_cells, 90);
    MatchClock none = match_clock_start(0);
    EXPECT_EQ(match_clock_advance(none, 1000000), ClockEvent::none) << "no clock";
    MatchClock long_clock = match_clock_start(INT32_MAX); // counts without overflow
    EXPECT_EQ(match_clock_advance(long_clock, 16), ClockEvent::redraw);
    EXPECT_EQ(long_clock.step, 25565281511);
    EXPECT_EQ(long_clock.shown_cells, 84);
}

TEST(TimeUp, TheLeaderGoesToFive) {
    int32_t cases[][4] = {{3, 1, 5, 1}, {2, 4, 2, 5}, {2, 2, 5, 5}, {0, 0, 5, 5}};
    for (auto [a, b, new_a, new_b] : cases) {
        time_up_scores(a, b);
        EXPECT_EQ(std::pair(a, b), std::pair(new_a, new_b));
    }
}

} // namespace
