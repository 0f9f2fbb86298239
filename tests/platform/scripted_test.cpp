#include "platform/clock.h"
#include "platform/events.h"
#include "platform/notice.h"
#include "platform/scripted.h"
#include "platform/video.h"
#include "support/scripted_support.h"

#include <gtest/gtest.h>
#include <png.h>

#include <filesystem>

namespace {

std::vector<uint16_t> pattern_frame() {
    std::vector<uint16_t> frame(320 * 200);
    for (size_t i = 0; i < frame.size(); i++) {
        frame[i] = static_cast<uint16_t>((i * 37) & 0x7FFF);
    }
    return frame;
}

std::vector<KeyEvent> events_drain() {
    std::vector<KeyEvent> events;
    KeyEvent event;
    while (events_poll(&event)) {
        events.push_back(event);
    }
    return events;
}

using ScriptedBackend = ScriptedTest;

TEST_F(ScriptedBackend, ClockAdvancesOnSleepsAndPresents) {
    ScriptedSetup setup;
    setup.frame_ms = 20;
    scripted_restart(setup);
    EXPECT_EQ(clock_ticks(), 0u);
    clock_sleep(15);
    EXPECT_EQ(clock_ticks(), 15u);
    video_present(frame.data());
    video_present(frame.data());
    EXPECT_EQ(clock_ticks(), 55u);
    EXPECT_EQ(scripted_frame_count(), 2u);
    // A missing frame is not a frame.
    video_present(nullptr);
    EXPECT_EQ(scripted_frame_count(), 2u);
}

TEST_F(ScriptedBackend, KeysArriveWhenTheClockReachesTheirTickPushedOnesAtOnce) {
    ScriptedSetup setup;
    // Out of order on purpose: the script is delivered by tick, ties in the order given.
    setup.keys = {{30, 100, false}, {10, 100, true}, {10, 101, true}};
    scripted_restart(setup);
    EXPECT_TRUE(events_drain().empty());
    clock_sleep(10);
    std::vector<KeyEvent> first = events_drain();
    ASSERT_EQ(first.size(), 2u);
    EXPECT_TRUE(first[0].pressed && first[0].symbol == 100u && first[1].symbol == 101u);
    clock_sleep(19);
    EXPECT_TRUE(events_drain().empty());
    clock_sleep(1);
    std::vector<KeyEvent> second = events_drain();
    ASSERT_EQ(second.size(), 1u);
    EXPECT_FALSE(second[0].pressed);

    scripted_push_key(27, true);
    std::vector<KeyEvent> pushed = events_drain();
    ASSERT_EQ(pushed.size(), 1u);
    EXPECT_TRUE(pushed[0].pressed && pushed[0].symbol == 27u);
}

TEST_F(ScriptedBackend, FramesAreHashedAndTheChosenOnesWrittenAsPng) {
    std::string chosen = scripted_temp_path("shot_000001.png");
    std::string other = scripted_temp_path("shot_000000.png");
    std::filesystem::remove(chosen);
    std::filesystem::remove(other);
    ScriptedSetup setup;
    setup.snapshot_pattern = scripted_temp_path("shot_%06d.png");
    setup.snapshot_frames = {1};
    scripted_restart(setup);
    std::vector<uint16_t> pattern = pattern_frame();
    video_present(frame.data());
    video_present(pattern.data());
    // FNV-1a 64 over the little-endian bytes, worked out independently.
    EXPECT_EQ(scripted_frame_hashes(),
              (std::vector<uint64_t>{0xb7b725b914373325ULL, 0xda13b1a71028aad5ULL}));
    EXPECT_EQ(scripted_last_frame(), pattern);
    EXPECT_FALSE(std::filesystem::exists(other));

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, chosen.c_str()));
    EXPECT_EQ(image.width, 320u);
    EXPECT_EQ(image.height, 200u);
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr));
    // Pixels 0, 37 and 74: 5-bit channels widened with their top bits repeated below.
    EXPECT_EQ((std::vector<uint8_t>(rgb.begin(), rgb.begin() + 9)),
              (std::vector<uint8_t>{0, 0, 0, 0, 8, 41, 0, 16, 82}));
}

TEST_F(ScriptedBackend, NoticesAreRecordedAndPrinted) {
    testing::internal::CaptureStderr();
    notice_show("Cannot open resource file", "Zorbit");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Zorbit: Cannot open resource file\n");
    EXPECT_EQ(scripted_notices(), std::vector<std::string>{"Zorbit: Cannot open resource file"});
}

TEST_F(ScriptedBackend, StoppedBackendHandsBackToTheRealPlatform) {
    EXPECT_TRUE(scripted_active());
    scripted_stop();
    EXPECT_FALSE(scripted_active());
    // With nothing started, the real event queue is empty rather than broken.
    KeyEvent event;
    EXPECT_FALSE(events_poll(&event));
}

using ScriptedBackendDeathTest = ScriptedTest;

TEST_F(ScriptedBackendDeathTest, RunsPastTheTimeLimitEndWithStatus3) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ScriptedSetup setup;
    setup.time_limit_ms = 100;
    setup.frame_ms = 16;
    EXPECT_EXIT(
        {
            scripted_start(setup);
            std::vector<uint16_t> still(320 * 200);
            for (;;) {
                video_present(still.data());
            }
        },
        testing::ExitedWithCode(3), "time limit of 100 ms");
}

} // namespace
