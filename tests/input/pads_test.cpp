// Gamepads on the scripted platform: the stick past its dead zone, the hat and the d-pad steer
// a side together with its keys; Start and A act as keys, Start as Escape in a match.
#include "input/keyboard.h"
#include "input/match_input.h"
#include "input/pads.h"
#include "settings/game_settings.h"
#include "support/scripted_support.h"

#include <gtest/gtest.h>

namespace {

constexpr auto axis = PlatformEventType::pad_axis;
constexpr auto hat = PlatformEventType::pad_hat;
constexpr auto down = PlatformEventType::pad_button_down;

PlatformEvent pad_event(PlatformEventType type, uint8_t pad, uint8_t control, uint32_t button,
                        int16_t value) {
    return PlatformEvent{type, button, pad, control, value};
}

class Pads : public ScriptedTest {
  protected:
    void SetUp() override {
        ScriptedTest::SetUp();
        game_settings_reset();
        key_state.fill(0);
        pads.fill(PadState{});
    }
    InputRecord record_read() {
        KeyboardInput keyboard;
        InputRecord record{};
        keyboard_input_read(&keyboard, &record);
        return record;
    }
};

// Steering bits: left 1, right 2, up 4, down 8. The stick's throw is 32767; 30% is 9830.
TEST_F(Pads, TheStickPastItsDeadZoneTheHatAndTheDpadSteer) {
    const struct {
        PlatformEvent event;
        uint8_t red, green; // the steering after the event
    } steps[] = {
        {pad_event(axis, 0, 0, 0, 9830), 0, 0},   // inside the dead zone
        {pad_event(axis, 0, 0, 0, 9831), 2, 0},   // just past it: right
        {pad_event(axis, 0, 1, 0, -20000), 6, 0}, // and up
        {pad_event(axis, 0, 3, 0, 32767), 6, 0},  // the right stick does nothing
        {pad_event(axis, 0, 0, 0, 0), 4, 0},
        {pad_event(axis, 0, 1, 0, 0), 0, 0},
        {pad_event(hat, 1, 0, 0, 8 | 4), 0, 9}, // pad 1's hat: left and down, for green
        {pad_event(hat, 1, 0, 0, 0), 0, 0},
        {pad_event(down, 1, 0, 14, 0), 0, 2}, // d-pad right as a button
        {pad_event(down, 2, 0, 11, 0), 0, 2}, // pad 2 steers nobody
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(testing::Message() << int(step.event.control) << " " << step.event.value);
        scripted_push_event(step.event);
        const InputRecord record = record_read();
        EXPECT_EQ(record.steer[0], step.red);
        EXPECT_EQ(record.steer[1], step.green);
    }
}

TEST_F(Pads, APadSteersTogetherWithItsSidesKeysAndTheSettingsChooseIt) {
    scripted_push_event(pad_event(hat, 0, 0, 0, 1)); // up
    scripted_push_key(276, true);                    // red's left arrow
    EXPECT_EQ(record_read().steer[0], 1 | 4);
    game_settings.red_pad = pad_none;
    EXPECT_EQ(record_read().steer[0], 1);
    game_settings.green_pad = 0;
    EXPECT_EQ(record_read().steer[1], 4);
    game_settings.pad_dead_zone = 50;
    scripted_push_event(pad_event(axis, 0, 0, 0, -16383)); // 50% of 32767 is 16383: not past it
    EXPECT_EQ(record_read().steer[1], 4);
}

// Buttons as sdl12-compat numbers a game controller's: A 0, Back 4, Start 6.
TEST_F(Pads, StartIsEscapeInAMatchAndTheButtonsActAsKeys) {
    scripted_push_event(pad_event(down, 0, 0, 6, 0));
    EXPECT_EQ(record_read().keys & 1, 1) << "Start leaves a match as Escape does";
    EXPECT_EQ(count_held_keys(), 1) << "and counts as a key held";
    scripted_push_event(pad_event(PlatformEventType::pad_button_up, 0, 0, 6, 0));
    scripted_push_event(pad_event(down, 3, 0, 0, 0));
    EXPECT_EQ(record_read().keys, 0) << "A is no Escape";
    EXPECT_EQ(count_held_keys(), 1);
    scripted_push_event(pad_event(down, 9, 0, 4, 0)); // a pad beyond the eighth
    EXPECT_EQ(count_held_keys(), 1);
}

} // namespace
