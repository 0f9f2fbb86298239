// The title screen: the reveal, the panel cycle, the rules for when a key ends it and its choice.
#include "screens/title.h"
#include "screens_fixture.h"
#include "support/test_module.h"

namespace {

// Virtual timeline of the screen: a present takes 16 ms, the frame pauses 8 ms and 13 ms.
constexpr uint32_t present_ms = 16;
constexpr uint32_t wipe_frame_ms = 8 + present_ms;
constexpr uint32_t reveal_end = present_ms + 79 * wipe_frame_ms;
constexpr uint32_t rising_ms = 121 * wipe_frame_ms;
constexpr uint32_t hold_ms = 400 * 13;
constexpr uint32_t falling_ms = 129 * wipe_frame_ms;
constexpr uint32_t cycle_ms = rising_ms + hold_ms + falling_ms + hold_ms;

constexpr int first_panel_frame = 1 + 79;
constexpr int cycle_frames = 121 + 129;

const uint16_t panel_colours[5] = {rgb555(31, 10, 0), rgb555(0, 31, 10), rgb555(10, 0, 31),
                                   rgb555(31, 31, 0), rgb555(0, 20, 31)};

class TitleTest : public ScreensTest {
  protected:
    void title_start(const std::vector<ScriptedKey>& keys, const ScreenPictures& shown = {}) {
        start(keys, shown);
        picture_ = pattern_pixels(320, 200, 13);
        pictures.title_picture = bitmap_from(320, 200, picture_);
        std::vector<uint16_t> panels;
        for (uint16_t colour : panel_colours) {
            panels.insert(panels.end(), 320 * 95, colour);
        }
        pictures.title_panels = bitmap_from(320, 475, panels);
    }

    uint16_t picture(int x, int y) const { return picture_[y * frame_width + x]; }

    // How far a strip moving four columns a frame has lowered a column `distance` from its start
    // after f frames, or -1 before it arrives: a column keeps the lowering of the last frame that
    // reached it, up to 31 inside the gradient, 0 to 3 behind it.
    static int strip_lag(int distance, int f) {
        const int d = distance - 4 * f;
        if (d >= 0) {
            return d <= 34 ? std::min(d, 31) : -1;
        }
        const int last = ((d % 4) + 4) % 4;
        return f - (last - d) / 4 >= 1 ? last : -1;
    }

    // The screen after f passes of the reveal, worked out per region.
    Frame reveal_expected(int f) const {
        Frame frame(frame_pixels, 0);
        for (int y = 1; y <= 82; ++y) {
            const int k = y <= f ? 0 : y - f;
            if (k <= 31) {
                for (int x = 0; x < frame_width; ++x) {
                    frame[y * frame_width + x] = lowered(picture(x, y), k);
                }
            }
        }
        for (int x = 0; x < frame_width; ++x) {
            const int colour_k = strip_lag(319 - x, f);
            const int green_k = strip_lag(x, f);
            for (int y = 83; y <= 93 && colour_k >= 0; ++y) {
                frame[y * frame_width + x] = lowered(picture(x, y), colour_k);
            }
            for (int y = 94; y <= 109 && green_k >= 0; ++y) {
                const int green = std::max(((picture(x, y) >> 5) & 31) - green_k, 0);
                frame[y * frame_width + x] = rgb555(0, green, 0);
            }
        }
        return frame;
    }

    // The revealed title with panel p shown in rows 111..199, lowered by k.
    Frame panel_expected(int p, int k) const {
        Frame frame = reveal_expected(79);
        std::fill(frame.begin() + 111 * frame_width, frame.end(), lowered(panel_colours[p - 1], k));
        return frame;
    }

    // Keys 1 and 2 pick a match against the computer, any other key a match as the settings say.
    // In a network session 1, 2, F1 and F2 do nothing and the other side's start ends the title.
    TitleChoice choice_run(uint32_t key, const TitleHooks* hooks = nullptr) {
        title_start({{500, key, true}, {600, key, false}});
        return title_screen_run(hooks);
    }

    std::vector<uint16_t> picture_;
};

TEST_F(TitleTest, RevealTakesSeventyNineFramesAndThePanelsComeInOrder) {
    // A key in the last hold of the third cycle ends the screen after that cycle.
    const uint32_t last_hold = reveal_end + 2 * cycle_ms + rising_ms + hold_ms + falling_ms;
    title_start(
        {{last_hold + hold_ms / 2, 'x', true}, {last_hold + hold_ms / 2 + 100, 'x', false}});
    title_screen_run();
    EXPECT_EQ(frames(), first_panel_frame + 3 * cycle_frames + 2);
    // Rising wipes leave their panel lowered by one, falling wipes at full brightness.
    const int order[6] = {1, 2, 3, 4, 5, 1};
    for (int wipe = 0; wipe < 6; ++wipe) {
        const bool rising = wipe % 2 == 0;
        const int end = first_panel_frame + (wipe / 2) * cycle_frames + (rising ? 120 : 249);
        EXPECT_EQ(presented_hashes().at(end),
                  frame_hash(panel_expected(order[wipe], rising ? 1 : 0).data()))
            << "wipe " << wipe;
    }
    EXPECT_EQ(screen(), panel_expected(1, 0));
    EXPECT_EQ(frame_find(Frame(frame_pixels, 0)), 0) << "starts from a cleared screen";
    for (int f : {1, 40, 79}) {
        EXPECT_EQ(frame_find(reveal_expected(f)), f) << "reveal frame " << f;
    }
}

class TitleSoundTest : public TitleTest, public ::testing::WithParamInterface<int32_t> {};

TEST_P(TitleSoundTest, AnyKeyInTheRevealSkipsThePanelsAndStartsTheMatch) {
    game_settings.sound_disabled = GetParam();
    title_start({{500, 'x', true}}, {.effect = true});
    title_screen_run();
    // The frame that saw the key is still shown, then the two closing presents.
    const int reveal_frames = frames() - 3;
    ASSERT_GT(reveal_frames, 10);
    ASSERT_LT(reveal_frames, 30);
    EXPECT_TRUE(screen() == reveal_expected(reveal_frames)) << "after frame " << reveal_frames;
    EXPECT_EQ(key_state['x'], 1) << "the title does not wait for the key to be let go";
    // The closing effect, unless off: entry 5's 600 bytes at 3000 Hz.
    EXPECT_NEAR(test_effect_heard().first, game_settings.sound_disabled ? 0 : 600 * 44100 / 3000,
                2);
}

INSTANTIATE_TEST_SUITE_P(SoundOnOrOff, TitleSoundTest, ::testing::Values(0, 1));

TEST_F(TitleTest, AKeyHeldInThePanelsEndsEachRemainingStepAtOnce) {
    const uint32_t seen = reveal_end + 10 * wipe_frame_ms;
    title_start({{seen - 3, 'x', true}});
    title_screen_run();
    // Eleven rising frames, one falling frame, no holds.
    EXPECT_EQ(frames(), first_panel_frame + 11 + 1 + 2);
    EXPECT_LT(clock_ticks(), reveal_end + 14 * wipe_frame_ms);
}

TEST_F(TitleTest, EscapeTappedInTheRisingWipeLetsTheCycleFinishAndStartsTheMatch) {
    // Seen by one frame's check, let go before the hold looks.
    const uint32_t seen = reveal_end + 10 * wipe_frame_ms;
    title_start({{seen - 3, 27, true}, {seen + 3, 27, false}, {seen + 2 * cycle_ms, 'q', true}});
    title_screen_run(); // returns: Escape was not held at the end of the cycle
    EXPECT_EQ(frames(), first_panel_frame + 11 + 129 + 2);
    EXPECT_GE(clock_ticks(), seen + 2 * hold_ms + falling_ms) << "both holds waited";
    EXPECT_EQ(screen(), panel_expected(2, 0)) << "the falling wipe ran to its end";
}

TEST_F(TitleTest, FunctionKeysOpenTheirScreensOverThePanelsAndTheTitleCarriesOn) {
    // F2 in the first hold; the release is seen before the first prompt.
    const uint32_t first_hold = reveal_end + rising_ms;
    std::vector<ScriptedKey> keys =
        answers_script(letters_and_arrows, first_hold + 4000,
                       {{first_hold + 1000, 283, true}, {first_hold + 1100, 283, false}});
    // A key in the second hold ends the screen after this cycle.
    key_tap(keys, first_hold + hold_ms + 6000 + falling_ms + hold_ms / 2, 'x');
    title_start(keys);
    title_screen_run();
    const int before = first_panel_frame + 120;
    EXPECT_EQ(frames(), first_panel_frame + cycle_frames + key_screen_frames + 2);
    const auto& hashes = presented_hashes();
    EXPECT_EQ(hashes.at(before), frame_hash(panel_expected(1, 1).data()));
    EXPECT_EQ(hashes.at(before + key_screen_frames), hashes[before]) << "the title as it was left";
    EXPECT_EQ(screen(), panel_expected(2, 0)) << "the cycle went on to its falling wipe";
    EXPECT_EQ(keys_now(), letters_and_arrows);
}

// From the start, after one drawing pass; or in the panels, at the end of the cycle.
TEST_F(TitleTest, EscapeHeldEndsTheProgram) {
    title_start({{0, 27, true}});
    EXPECT_EQ(title_screen_run(), TitleChoice::quit);
    EXPECT_EQ(frames(), 2);
    EXPECT_EQ(scripted_last_frame(), reveal_expected(1));
    title_start({{reveal_end + 5 * wipe_frame_ms, 27, true}});
    EXPECT_EQ(title_screen_run(), TitleChoice::quit);
}

TEST_F(TitleTest, DamagedTitlePicturesLeaveBlackInsteadOfReadingPastThem) {
    title_start({{reveal_end + 100, 'x', true}, {reveal_end + 200, 'x', false}});
    bitmap_free(pictures.title_picture);
    bitmap_free(pictures.title_panels);
    pictures.title_picture = bitmap_from(100, 20, pattern_pixels(100, 20, 1));
    pictures.title_panels = nullptr;
    title_screen_run();
    EXPECT_EQ(display.back_buffer[5 * frame_width + 10], pattern_pixels(100, 20, 1)[5 * 100 + 10]);
    EXPECT_EQ(display.back_buffer[5 * frame_width + 200], 0);
    EXPECT_EQ(display.back_buffer[50 * frame_width + 10], 0);
}

TEST_F(TitleTest, KeyOneIsRedAgainstTheComputerTwoGreenAnyOtherAsTheSettingsSay) {
    const std::pair<uint32_t, TitleChoice> cases[] = {{49, TitleChoice::red_against_computer},
                                                      {50, TitleChoice::green_against_computer},
                                                      {51, TitleChoice::match}};
    for (const auto& [key, choice] : cases) {
        EXPECT_EQ(choice_run(key), choice) << key;
    }
}

TEST_F(TitleTest, InANetworkSessionKeysOneAndTwoDoNothingAndTheOtherSideStarts) {
    const TitleHooks quiet{nullptr, [](void*) { return false; }, true};
    const TitleHooks other{nullptr, [](void*) { return clock_ticks() > 3000; }, true};
    EXPECT_EQ(choice_run(49, &other), TitleChoice::match);
    EXPECT_GT(clock_ticks(), 3000u) << "key 1 did not start it; the other side did";
    EXPECT_EQ(choice_run(32, &quiet), TitleChoice::match);
    EXPECT_LT(clock_ticks(), 1000u) << "any other key starts it at once";
}

} // namespace
