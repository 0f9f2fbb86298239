// The bar wipe, the curtain, the prompt, the fade and the information screen.
#include "screens_fixture.h"

namespace {

int frames() {
    return static_cast<int>(scripted_frame_count());
}

class CurtainTest : public ScreensTest, public ::testing::WithParamInterface<int> {};

TEST_P(CurtainTest, BarsOpenOverThePictureAndLeaveTheRestFrozen) {
    start({});
    const int n = GetParam();
    const Frame before = screen_show_pattern(3);
    bar_wipe();
    EXPECT_EQ(frames(), 1 + 64);
    const Frame barred = bars_over(before);
    EXPECT_EQ(screen(), barred);

    const std::vector<uint16_t> pixels = pattern_pixels(320, 181, 9);
    Bitmap* picture = bitmap_from(320, 181, pixels);
    curtain_open(picture, n);
    bitmap_free(picture);
    EXPECT_EQ(frames(), 1 + 64 + n);
    EXPECT_EQ(screen(), curtain_over(barred, pixels, n));
}

INSTANTIATE_TEST_SUITE_P(FrameCounts, CurtainTest, ::testing::Values(91, 80, 2));

TEST_F(ScreensTest, CurtainWithoutPictureOrWithAShortOneStaysInsideTheScreen) {
    start({});
    screen_show_pattern(4);
    bar_wipe();
    curtain_open(nullptr, 91);
    const std::vector<uint16_t> pixels = pattern_pixels(40, 10, 1);
    Bitmap* narrow = bitmap_from(40, 10, pixels);
    curtain_open(narrow, 200); // more frames than the screen takes: held to 95
    bitmap_free(narrow);
    EXPECT_EQ(frames(), 1 + 64 + 91 + 95);
    // Picture row 1 lands on screen row 6, as far as the picture reaches.
    EXPECT_TRUE(
        std::equal(pixels.begin() + 40, pixels.begin() + 80, back_buffer + 6 * frame_width));
    EXPECT_EQ(back_buffer[0], bar_upper_colour);
    EXPECT_EQ(back_buffer[frame_pixels - 1], bar_lower_colour);
}

TEST_F(ScreensTest, FadeMovesEveryChannelOneUnitPerPresentedStep) {
    start({});
    const std::vector<uint16_t> target = pattern_pixels(320, 200, 5);
    std::fill_n(back_buffer, frame_pixels, rgb(31, 31, 31));
    fade_to_image(target.data(), back_buffer);
    EXPECT_EQ(frames(), 32);
    EXPECT_EQ(screen(), target);

    // From white each channel comes down one unit a step until it meets its target.
    for (int step : {1, 16}) {
        Frame expected(frame_pixels);
        for (int i = 0; i < frame_pixels; ++i) {
            const uint16_t t = target[i];
            expected[i] = rgb(std::max((t >> 10) & 31, 31 - step),
                              std::max((t >> 5) & 31, 31 - step), std::max(t & 31, 31 - step));
        }
        EXPECT_EQ(frame_find(expected), step - 1) << "step " << step;
    }

    // And from black it climbs.
    std::fill_n(back_buffer, frame_pixels, 0);
    fade_to_image(target.data(), back_buffer);
    Frame expected(frame_pixels);
    for (int i = 0; i < frame_pixels; ++i) {
        const uint16_t t = target[i];
        expected[i] =
            rgb(std::min((t >> 10) & 31, 3), std::min((t >> 5) & 31, 3), std::min(t & 31, 3));
    }
    EXPECT_EQ(frame_find(expected, 32), 32 + 2);
    EXPECT_EQ(screen(), target);
}

class KeyPromptTest : public ScreensTest {
  protected:
    void prompt_start(std::vector<ScriptedKey> keys) {
        start(std::move(keys));
        key_wait_marker = bitmap_make(8, 6, marker_wait_colour);
        key_taken_marker = bitmap_make(8, 6, marker_taken_colour);
    }
    void TearDown() override {
        bitmap_free(key_wait_marker);
        bitmap_free(key_taken_marker);
        key_wait_marker = key_taken_marker = nullptr;
        ScreensTest::TearDown();
    }
};

TEST_F(KeyPromptTest, AnswersWithThePressedKeyAndShowsBothMarkers) {
    prompt_start({key_down(500, 'k'), key_up(600, 'k')});
    EXPECT_EQ(key_prompt(90, 93), 'k');
    EXPECT_EQ(frames(), 2);
    EXPECT_EQ(back_buffer[93 * frame_width + 90], marker_taken_colour);
    EXPECT_EQ(back_buffer[98 * frame_width + 97], marker_taken_colour);
    EXPECT_EQ(back_buffer[99 * frame_width + 98], 0);
    EXPECT_EQ(count_held_keys(), 0) << "returns only once the key is let go";
    Frame waiting(frame_pixels, 0);
    for (int y = 93; y < 99; ++y) {
        std::fill_n(waiting.begin() + y * frame_width + 90, 8, marker_wait_colour);
    }
    EXPECT_EQ(frame_find(waiting), 0);
}

TEST_F(KeyPromptTest, ReleaseOfAKeyHeldBeforeThePromptIsAnAnswer) {
    prompt_start({key_down(0, key_f2), key_up(500, key_f2)});
    pump_events();
    ASSERT_EQ(key_state[key_f2], 1);
    EXPECT_EQ(key_prompt(90, 93), key_f2);
}

TEST_F(KeyPromptTest, HighestOfKeysChangingTogetherWinsAndIndexZeroNeverAnswers) {
    // 512 lands on entry 0 of the table.
    prompt_start({key_down(300, 512), key_up(350, 512), key_down(600, 'a'), key_down(600, 'z'),
                  key_up(700, 'a'), key_up(700, 'z')});
    EXPECT_EQ(key_prompt(205, 157), 'z');
}

TEST_F(ScreensTest, InfoScreenShowsItsPictureAndLeavesTheScreenAsItFoundIt) {
    start({key_down(5000, ' '), key_up(5100, ' ')});
    const Frame before = screen_show_pattern(6);
    info_screen_run();
    EXPECT_EQ(frames(), 1 + 64 + 91 + 1);
    EXPECT_EQ(screen(), before);
    EXPECT_EQ(scripted_frame_hashes().back(), frame_hash(before));
    EXPECT_EQ(frame_find(curtain_over(bars_over(before), pattern_pixels(320, 181, 7), 91)),
              64 + 91);
    EXPECT_EQ(overlay_busy, 0);
    EXPECT_EQ(archive_entry_record(10)->ref_count, 0) << "the picture goes when the screen closes";
    EXPECT_EQ(count_held_keys(), 0);
}

TEST_F(ScreensTest, InfoScreenEndsOnTheReleaseOfAKeyHeldWhenItOpened) {
    start({key_down(0, key_f1), key_up(4000, key_f1)});
    pump_events();
    const Frame before = screen_show_pattern(2);
    info_screen_run();
    EXPECT_EQ(screen(), before);
    EXPECT_GE(clock_ticks(), 4000u);
}

TEST_F(ScreensTest, InfoScreenDoesNotOpenOverABusyOverlay) {
    start({});
    overlay_busy = 1;
    info_screen_run();
    key_screen_run();
    EXPECT_EQ(frames(), 0);
    EXPECT_EQ(overlay_busy, 1);
}

class MissingPicturesTest : public ScreensTest, public ::testing::WithParamInterface<bool> {};

TEST_P(MissingPicturesTest, OverlaysShowWhatTheyCanAndCloseCleanly) {
    ScreenPictures pictures;
    pictures.malformed = GetParam();
    pictures.info = pictures.keys = pictures.malformed;
    std::vector<ScriptedKey> keys{key_down(5000, ' '), key_up(5100, ' ')};
    const uint32_t symbols[] = {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'};
    for (int i = 0; i < 8; ++i) {
        key_tap(keys, 12000 + 300 * i, symbols[i]);
    }
    start(keys, pictures);
    const Frame before = screen_show_pattern(8);
    info_screen_run();
    EXPECT_EQ(screen(), before);
    key_screen_run();
    EXPECT_EQ(screen(), before);
    EXPECT_EQ(frames(), 1 + 156 + 193);
    EXPECT_EQ(red_keys.left, 'a');
    EXPECT_EQ(green_keys.down, 'h');
    EXPECT_EQ(overlay_busy, 0);
    for (int entry : {10, 18, 19, 20}) {
        EXPECT_EQ(archive_entry_record(entry)->ref_count, 0) << "entry " << entry;
    }
}

INSTANTIATE_TEST_SUITE_P(MissingOrMalformed, MissingPicturesTest, ::testing::Bool());

} // namespace
