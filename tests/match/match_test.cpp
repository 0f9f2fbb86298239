// Frames of a real match, played in-process on the scripted platform.
#include <gtest/gtest.h>

#include "field/body.h"
#include "field/plasma.h"
#include "game_harness.h"
#include "match/match_loop.h"
#include "match/score_display.h"
#include "platform/platform.h"

namespace {

// On the archive whose goal, time-up and end pictures show where they zoom to.
class MatchTest : public ::testing::Test {
  protected:
    void start(const std::vector<ScriptedKey>& keys = {}, int32_t seconds = 84) {
        ScriptedSetup setup;
        setup.keys = keys;
        setup.sinks = {&corners, nullptr, nullptr, PictureCorners::keep};
        game_harness_start(setup, placed_archive_entries());
        game_settings.game_length = seconds;
        match_begin(state, harness_input());
    }
    void TearDown() override { game_harness_stop(); }

    // Puts the ball where its next move takes it out through an opening.
    static void ball_about_to_score(int32_t goal) {
        Body* ball = field.body_tail;
        ball->x = 150;
        ball->vx = 0;
        ball->y = goal == 1 ? 189.9 : 0.1;
        ball->vy = goal == 1 ? 1.0 : -1.0;
    }
    MatchState state{};
    PictureCorners corners;
};

// The winning goal is handled in full; the match ends at the start of the next frame.
TEST_F(MatchTest, AGoalIsCountedShownFollowedByAKickOffAndTheSixthWins) {
    start();
    game_settings.plasma_disabled = 1;
    match_frame(state, harness_input());
    ball_about_to_score(2);
    match_frame(state, harness_input());
    EXPECT_EQ(match.side2_score, 1);
    EXPECT_EQ(corners.of(15), std::pair(100, 30)) << "side 2's goal picture";
    match_frame(state, harness_input()); // the goal's time counts in no frame: nothing moves
    match.side1_score = 5;
    ball_about_to_score(1);
    const uint64_t frames_before = scripted_frame_count();
    const uint32_t ticks_before = clock_ticks();
    EXPECT_EQ(match_frame(state, harness_input()), FrameResult::next);
    EXPECT_EQ(match.side1_score, 6);
    EXPECT_EQ(state.last_goal, 1);
    // One frame, 30 animation frames, then the 99-wide goal picture zooms in 34 frames.
    EXPECT_EQ(scripted_frame_count() - frames_before, 1u + 30u + 34u);
    EXPECT_EQ(clock_ticks() - ticks_before, (1 + 30 + 34) * 16 + 1500u) << "the pause after a goal";
    EXPECT_EQ(corners.of(14), std::pair(100, 130)) << "side 1's goal picture";
    EXPECT_EQ(harness_keyboard().last_ticks, clock_ticks()) << "goal handling counts in no frame";
    EXPECT_EQ(match_frame(state, harness_input()), FrameResult::won);
    EXPECT_EQ(scripted_frame_count() - frames_before, 1u + 30u + 34u) << "and nothing else";
}

TEST_F(MatchTest, EscapeInTheFrameOfAGoalHandlesTheGoalThenQuitsWithoutAnEndScreen) {
    start({{3000, 27, false}});
    match_frame(state, harness_input());
    match.side1_score = 5;
    ball_about_to_score(1);
    scripted_push_key(27, true);
    EXPECT_EQ(match_frame(state, harness_input()), FrameResult::quit);
    EXPECT_EQ(match.side1_score, 6) << "the goal is counted";
    EXPECT_EQ(key_state[27], 0) << "the match ends once Escape is released";
    for (const std::string& line : scripted_debug_lines()) {
        EXPECT_EQ(line.find("wins"), std::string::npos) << line;
    }
}

TEST_F(MatchTest, F12AndF11MoveTheThresholdByOnePerFrameWithAMessageEach) {
    // F12 held while the pumps at ticks 0, 16, ..., 304 run: 20 frames; then F11 for 3.
    start({{0, 293, true}, {310, 293, false}, {320, 292, true}, {360, 292, false}});
    testing::internal::CaptureStdout();
    for (int frame = 0; frame < 25; ++frame) {
        match_frame(state, harness_input());
    }
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(alpha_threshold, -2);
    std::string expected;
    for (int value = 14; value >= -5; --value) {
        expected += "alpha threshold set to " + std::to_string(value);
    }
    expected += "alpha threshold set to -4alpha threshold set to -3alpha threshold set to -2";
    EXPECT_EQ(out, expected);
}

// F1 opens the information screen inside the key handling; it closes on the next key change
// once all keys are up. None of that time reaches the bodies or the clock.
TEST_F(MatchTest, TimeInTheInformationScreenCountsInNoFrame) {
    start({{16, 282, true}, {60, 282, false}, {9000, 32, true}, {9100, 32, false}});
    match_frame(state, harness_input()); // elapsed 0
    const double red_x = field.body_head->x;
    match_frame(state, harness_input()); // F1: elapsed 16, then the screen
    EXPECT_GE(clock_ticks(), 9100u);
    match_frame(state, harness_input()); // elapsed 16 again
    EXPECT_EQ(state.clock.remaining, 84000 - 32);
    EXPECT_DOUBLE_EQ(field.body_head->x, red_x + 2 * (16 * 0.5 * 1.0 * 0.1));
}

TEST_F(MatchTest, TimeUpRaisesTheLeaderAndLeavesNoTraceOfItsPictures) {
    start({}, 1);
    game_settings.plasma_disabled = 1;
    match.side1_score = 3;
    match.side2_score = 1;
    int frames = 0;
    while (state.clock.remaining > 0 && frames < 200) {
        // Keep the ball from scoring while the clock runs down.
        field.body_tail->vx = 0;
        field.body_tail->vy = 0;
        match_frame(state, harness_input());
        ++frames;
    }
    EXPECT_EQ(frames, 1 + 63) << "the first frame has no elapsed time";
    EXPECT_EQ(match.side1_score, 5);
    EXPECT_EQ(match.side2_score, 1);
    EXPECT_EQ(corners.of(29), std::pair(80, 30));
    EXPECT_EQ(corners.of(30), std::pair(100, 60));
    // The frame after time-up: the pictures are gone from the inner area.
    bodies_restore_backgrounds();
    for (int y = 20; y < 180; ++y) {
        for (int x = 8; x < 312; ++x) {
            ASSERT_EQ(screen_pixel(x, y), pictures.pitch_image->pixels[y * 320 + x])
                << x << "," << y;
        }
    }
    // Fresh save-unders at the bodies' current places hold the pitch.
    for (const Body* b = field.body_head; b != nullptr; b = b->next) {
        const int x0 = static_cast<int>(b->x);
        const int y0 = static_cast<int>(b->y);
        EXPECT_EQ(b->save_under->pixels[0], pictures.pitch_image->pixels[y0 * 320 + x0]);
    }
}

// The marker animation and the plasma, grown two rows every second frame, go on in the next match.
TEST_F(MatchTest, MarkersAndPlasmaCarryOverIntoTheNextMatch) {
    start();
    const int32_t marker_frame = match.marker_frame;
    for (int frame = 0; frame < 22; ++frame) {
        match_frame(state, harness_input());
    }
    EXPECT_EQ(match.marker_frame, marker_frame + 4) << "redrawn in frames 0, 7, 14 and 21";
    EXPECT_EQ(plasma.plasma_rows, 22);
    match_begin(state, harness_input());
    match_frame(state, harness_input());
    EXPECT_EQ(match.marker_frame, marker_frame + 5);
    EXPECT_EQ(plasma.plasma_rows, 24);
}

// Each side's end screen zooms its three pictures to their places, 10 pixels apart from the
// other side's, then waits for a key to be pressed (at 5 s) and let go.
TEST_F(MatchTest, EndScreensShowTheirPicturesThenWaitForAKey) {
    const struct {
        int32_t goal;
        int winner_entry;
        std::pair<int, int> a, winner, b;
    } ends[] = {{1, 26, {100, 80}, {130, 110}, {160, 130}},
                {2, 27, {90, 80}, {120, 110}, {150, 130}}};
    for (const auto& end : ends) {
        SCOPED_TRACE(end.goal);
        start({{5000, 'x', true}, {5100, 'x', false}});
        game_settings.plasma_disabled = 1;
        (end.goal == 1 ? match.side1_score : match.side2_score) = 6;
        state.last_goal = end.goal;
        match_end(state, harness_input());
        EXPECT_EQ(corners.of(25), end.a);
        EXPECT_EQ(corners.of(end.winner_entry), end.winner);
        EXPECT_EQ(corners.of(28), end.b);
        EXPECT_GE(clock_ticks(), 5100u);
        EXPECT_LT(clock_ticks(), 5200u);
        game_harness_stop();
        corners.corners.clear();
    }
}

} // namespace
