// F1 and F2 as the match and the title screen see them.
#include "screens_fixture.h"

namespace {

int frames() {
    return static_cast<int>(scripted_frame_count());
}

constexpr int info_frames = 64 + 91 + 1;

TEST_F(ScreensTest, F1AndF2TogetherOpenOnlyTheInformationScreen) {
    start({key_down(0, key_f1), key_down(0, key_f2), key_up(4000, key_f1), key_up(4000, key_f2)});
    pump_events();
    function_keys_handle();
    EXPECT_EQ(frames(), info_frames) << "both keys were let go before F2 was looked at";
    EXPECT_EQ(info_screen_open, 0);
    EXPECT_EQ(overlay_busy, 0);
}

TEST_F(ScreensTest, F2AloneOpensTheKeyScreen) {
    std::vector<ScriptedKey> keys{key_down(0, key_f2), key_up(100, key_f2)};
    for (int i = 0; i < 8; ++i) {
        key_tap(keys, 4000 + 300 * i, 'a' + i);
    }
    start(keys);
    pump_events();
    function_keys_handle();
    EXPECT_EQ(frames(), 64 + 80 + 16 + 32 + 1);
    EXPECT_EQ(green_keys.down, 'h');
}

TEST_F(ScreensTest, GuardsKeepTheScreensFromOpeningTwice) {
    start({key_down(0, key_f1), key_down(0, key_f2)});
    pump_events();
    info_screen_open = 1;
    overlay_busy = 1;
    function_keys_handle();
    EXPECT_EQ(frames(), 0);
    EXPECT_EQ(info_screen_open, 1);
}

TEST_F(ScreensTest, NoFunctionKeyNoScreen) {
    start({key_down(0, 'a')});
    pump_events();
    function_keys_handle();
    EXPECT_EQ(frames(), 0);
}

} // namespace
