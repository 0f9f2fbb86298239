#include "input/keyboard.h"
#include "platform/platform.h"
#include "settings/game_settings.h"
#include "support/scripted_support.h"

#include <gtest/gtest.h>

namespace {

class Keyboard : public ScriptedTest {
  protected:
    void SetUp() override {
        ScriptedTest::SetUp();
        key_state.fill(0);
    }
    // Keys as a script; a generous limit turns a wait that never ends into a failure.
    void keys_script(std::vector<ScriptedKey> keys) {
        ScriptedSetup setup;
        setup.keys = std::move(keys);
        setup.time_limit_ms = 60'000;
        scripted_start(setup);
    }
};

TEST_F(Keyboard, PumpSetsEntriesModulo512AndTracesEveryKeyDown) {
    // A release never seen pressed leaves its entry at zero, and no trace.
    keys_script(
        {{0, 276, true}, {0, 512 + 27, true}, {0, 111, true}, {0, 111, false}, {0, 275, false}});
    pump_events();
    EXPECT_EQ(key_state[276], 1);
    EXPECT_EQ(key_state[27], 1);
    EXPECT_EQ(key_state[111], 0);
    EXPECT_EQ(key_state[275], 0);
    EXPECT_EQ(count_held_keys(), 2);
    EXPECT_EQ(scripted_debug_lines(),
              (std::vector<std::string>{"SDL key code :276\n", "SDL key code :27\n",
                                        "SDL key code :111\n"}));
}

// Both waits yield a millisecond at a time, so they notice a change promptly.
TEST_F(Keyboard, WaitKeysReleasedWaitsForTheLastRelease) {
    keys_script({});
    wait_keys_released();
    EXPECT_EQ(clock_ticks(), 0u);
    keys_script({{0, 276, true}, {0, 97, true}, {120, 276, false}, {300, 97, false}});
    wait_keys_released();
    EXPECT_TRUE(clock_ticks() >= 300u && clock_ticks() <= 302u) << clock_ticks();
}

// A change already due is only seen after the first 10 ms pause.
TEST_F(Keyboard, WaitKeyChangeFirstWaitsTenMillisecondsThenEndsOnAReleaseOrAPress) {
    keys_script({{0, 27, true}, {80, 27, false}, {200, 112, true}});
    wait_key_change();
    EXPECT_EQ(key_state[27], 1);
    EXPECT_EQ(clock_ticks(), 10u);
    wait_key_change();
    EXPECT_EQ(key_state[27], 0);
    EXPECT_TRUE(clock_ticks() >= 80u && clock_ticks() <= 82u) << clock_ticks();
    wait_key_change();
    EXPECT_EQ(key_state[112], 1);
    EXPECT_TRUE(clock_ticks() >= 200u && clock_ticks() <= 202u) << clock_ticks();
}

// The player keys become the side's steering bits (left 1, right 2, up 4, down 8); codes outside
// the key table, as a 16-bit key field holds them, never steer.
TEST_F(Keyboard, PlayerAndMatchKeysGiveTheirBitsAndCodesOutsideTheTableNone) {
    key_state.fill(1);
    EXPECT_EQ(keyboard_steer(PlayerKeys{-1, 512, -300, 32767}), 0);
    EXPECT_EQ(keyboard_steer(PlayerKeys{511, 0, -1, 65536 + 97}), 1 | 2 | 8);
    key_state.fill(0);
    key_state[276] = 1;
    key_state[274] = 1;
    EXPECT_EQ(keyboard_steer(PlayerKeys{276, 275, 273, 274}), 1 | 8);
    // The match keys in the record: Escape 27, F1 282, F2 283, F11 292, F12 293.
    const int codes[] = {27, 282, 283, 292, 293};
    for (int i = 0; i < 5; ++i) {
        key_state.fill(0);
        key_state[codes[i]] = 1;
        EXPECT_EQ(keyboard_match_keys(), 1 << i) << codes[i];
    }
}

} // namespace
