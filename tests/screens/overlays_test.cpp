// F1 and F2, the information screen and the pieces both overlays are made of.
#include "screens_fixture.h"

namespace {

// Both keys are let go before F2 is looked at: only the information screen opens.
TEST_F(ScreensTest, F1AndF2TogetherOpenOnlyTheInformationScreen) {
    start({{0, 282, true}, {0, 283, true}, {4000, 282, false}, {4000, 283, false}});
    const Frame before = screen_show_pattern(6);
    pump_events();
    function_keys_handle(keyboard_match_keys());
    EXPECT_EQ(frames(), 1 + info_screen_frames);
    EXPECT_EQ(frame_find(curtain_over(before, pattern_pixels(320, 181, 7), 91)), 64 + 91);
    EXPECT_EQ(screen(), before);
    EXPECT_EQ(presented_hashes().back(), frame_hash(before.data()));
    EXPECT_EQ(overlays.overlay_busy, 0);
    EXPECT_EQ(archive_entry_record(10)->ref_count, 0) << "the picture goes when the screen closes";
    EXPECT_EQ(count_held_keys(), 0);
}

TEST_F(ScreensTest, NoScreenOpensOverABusyOverlay) {
    start({{0, 'a', true}, {0, 282, true}, {0, 283, true}});
    pump_events();
    overlays.overlay_busy = 1;
    info_screen_run();
    key_screen_run();
    function_keys_handle(keyboard_match_keys());
    EXPECT_EQ(frames(), 0);
    EXPECT_EQ(overlays.overlay_busy, 1);
}

TEST_F(ScreensTest, CurtainWithAShortPictureStaysInsideTheScreen) {
    start({});
    screen_show_pattern(4);
    bar_wipe();
    const std::vector<uint16_t> pixels = pattern_pixels(40, 10, 1);
    Bitmap* narrow = bitmap_from(40, 10, pixels);
    curtain_open(narrow, 200); // more frames than the screen takes: held to 95
    bitmap_free(narrow);
    EXPECT_EQ(frames(), 1 + 64 + 95);
    // Picture row 1 lands on screen row 6, as far as the picture reaches.
    EXPECT_TRUE(std::equal(pixels.begin() + 40, pixels.begin() + 80,
                           display.back_buffer + 6 * frame_width));
    EXPECT_EQ(display.back_buffer[0], bar_upper_colour);
    EXPECT_EQ(display.back_buffer[frame_pixels - 1], bar_lower_colour);
}

TEST_F(ScreensTest, FadeMovesEveryChannelOneUnitPerPresentedStep) {
    start({});
    const std::vector<uint16_t> target = pattern_pixels(320, 200, 5);
    // After `steps`, a channel that started at `from` is that many units nearer its target.
    auto faded = [&target](int from, int steps) {
        auto channel = [&](int t) {
            return from > t ? std::max(t, from - steps) : std::min(t, from + steps);
        };
        Frame frame(frame_pixels);
        for (int i = 0; i < frame_pixels; ++i) {
            frame[i] = rgb555(channel((target[i] >> 10) & 31), channel((target[i] >> 5) & 31),
                              channel(target[i] & 31));
        }
        return frame;
    };
    for (int from : {31, 0}) {
        const int first = frames();
        std::fill_n(display.back_buffer, frame_pixels, rgb555(from, from, from));
        fade_to_image(target.data(), display.back_buffer);
        EXPECT_EQ(frames() - first, 32);
        EXPECT_EQ(screen(), target);
        for (int step : {1, 3, 16}) {
            EXPECT_EQ(frame_find(faded(from, step), first), first + step - 1)
                << "from " << from << ", step " << step;
        }
    }
}

// 512 lands on entry 0 of the key table; without markers the prompt only waits.
TEST_F(ScreensTest, AtAPromptTheHighestOfKeysChangingTogetherWinsAndIndexZeroNeverAnswers) {
    start({{300, 512, true},
           {350, 512, false},
           {600, 'a', true},
           {600, 'z', true},
           {700, 'a', false},
           {700, 'z', false}});
    EXPECT_EQ(key_prompt(205, 157), 'z');
}

class MissingPicturesTest : public ScreensTest, public ::testing::WithParamInterface<bool> {};

TEST_P(MissingPicturesTest, OverlaysShowWhatTheyCanAndCloseCleanly) {
    start(answers_script(letters_and_arrows, 12000, {{5000, ' ', true}, {5100, ' ', false}}),
          {.present = GetParam(), .malformed = GetParam()});
    const Frame before = screen_show_pattern(8);
    info_screen_run();
    EXPECT_EQ(screen(), before);
    key_screen_run();
    EXPECT_EQ(screen(), before);
    EXPECT_EQ(frames(), 1 + info_screen_frames + key_screen_frames);
    EXPECT_EQ(keys_now(), letters_and_arrows);
    EXPECT_EQ(overlays.overlay_busy, 0);
    for (int entry : {10, 18, 19, 20}) {
        EXPECT_EQ(archive_entry_record(entry)->ref_count, 0) << "entry " << entry;
    }
}

INSTANTIATE_TEST_SUITE_P(MissingOrMalformed, MissingPicturesTest, ::testing::Bool());

} // namespace
