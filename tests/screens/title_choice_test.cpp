// Keys 1 and 2 on the title pick a match against the computer; any other key a match as the
// settings say. In a network session 1, 2, F1 and F2 do nothing and the other side's start ends
// the title too.
#include "screens/title.h"
#include "screens_fixture.h"

namespace {

class TitleChoiceTest : public ScreensTest {
  protected:
    TitleChoice run(uint32_t key, const TitleHooks* hooks = nullptr) {
        key_state.fill(0);
        start({key_down(500, key), key_up(600, key)});
        pictures.title_picture = bitmap_from(320, 200, uniform_pixels(320, 200, 0x1234));
        pictures.title_panels = bitmap_from(320, 475, uniform_pixels(320, 475, 0x0234));
        return title_screen_run(hooks);
    }
};

TEST_F(TitleChoiceTest, KeyOneIsRedAgainstTheComputerTwoGreenAnyOtherAsTheSettingsSay) {
    const struct {
        uint32_t key;
        TitleChoice choice;
    } cases[] = {{49, TitleChoice::red_against_computer},
                 {50, TitleChoice::green_against_computer},
                 {51, TitleChoice::match},
                 {32, TitleChoice::match},
                 {27, TitleChoice::quit}};
    for (const auto& c : cases) {
        EXPECT_EQ(run(c.key), c.choice) << c.key;
        scripted_stop();
        archive_close();
    }
}

bool never(void*) {
    return false;
}

bool after_a_while(void*) {
    return clock_ticks() > 3000;
}

TEST_F(TitleChoiceTest, InANetworkSessionKeysOneAndTwoDoNothingAndTheOtherSideStarts) {
    const TitleHooks quiet{nullptr, never, true};
    const TitleHooks other{nullptr, after_a_while, true};
    EXPECT_EQ(run(49, &other), TitleChoice::match);
    EXPECT_GT(clock_ticks(), 3000u) << "key 1 did not start it; the other side did";
    scripted_stop();
    archive_close();
    EXPECT_EQ(run(32, &quiet), TitleChoice::match);
    EXPECT_LT(clock_ticks(), 1000u) << "any other key starts it at once";
}

} // namespace
