// Start-up settings: what each settings file makes of the game's globals.
#include "settings/game_settings.h"
#include "support/test_archive.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>

namespace {

// One line holding every field, so a failure shows exactly which differ; speed to the last bit.
std::string settings_text(const GameSettings& s) {
    char text[320];
    const PlayerKeys &r = s.red_keys, &g = s.green_keys;
    std::snprintf(
        text, sizeof text,
        "speed %.17g length %d fullscreen %d off %d%d%d red %d %d %d %d green %d %d %d %d "
        "refresh %d scale %d computer %d%d skill %d pads %d %d dead zone %d delay %d",
        s.game_speed, s.game_length, s.fullscreen, s.plasma_disabled, s.sound_disabled,
        s.music_disabled, r.left, r.right, r.up, r.down, g.left, g.right, g.up, g.down,
        s.refresh_rate, s.video_scale, s.red_player == PlayerKind::computer,
        s.green_player == PlayerKind::computer, s.computer_skill, s.red_pad, s.green_pad,
        s.pad_dead_zone, s.input_delay);
    return text;
}

// A settings file, what it changes from the defaults, and the lines it makes the game say.
struct StartupCase {
    const char* name;
    const char* text;
    std::function<void(GameSettings&)> change;
    int lines = 0;
};

void run_cases(const std::vector<StartupCase>& cases) {
    for (const StartupCase& c : cases) {
        const std::string path = test_temp_path("zorbit.ini");
        std::ofstream(path) << c.text;
        game_settings_reset();
        testing::internal::CaptureStderr();
        game_settings_load(path.c_str());
        const std::string said = testing::internal::GetCapturedStderr();
        GameSettings want; // the defaults, pinned by the test below
        if (c.change) {
            c.change(want);
        }
        EXPECT_EQ(settings_text(game_settings), settings_text(want)) << c.name;
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), c.lines) << c.name << ": " << said;
    }
}

// Written out by hand, not taken from the code, so a wrong default shows.
TEST(GameSettings, Defaults) {
    EXPECT_EQ(settings_text(game_settings),
              "speed 1 length 84 fullscreen 1 off 000 red 276 275 273 274 green 111 112 113 97 "
              "refresh 60 scale 3 computer 00 skill 2 pads 0 1 dead zone 30 delay 2");
}

// Switches turn off only on zero (a word reads as zero); -1 means absent. The shipped file and the
// key screen's saved blocks read the rest.
TEST(GameSettings, FileValuesReplaceTheDefaults) {
    run_cases({
        {"one, two, minus one leave on",
         "[general]\nenableplasma=1\n[audio]\nenablesound=2\nenablemusic=-1\n", nullptr},
        {"all off", "[General]\nEnablePlasma=0\n[Audio]\nEnableSound=no ; quiet\nEnableMusic='0'\n",
         [](auto& s) { s.plasma_disabled = s.sound_disabled = s.music_disabled = 1; }},
        {"speed minus one", "[general]\ngamespeed=-1\n", nullptr},
        {"length negative", "[general]\ngamelength=-30\n", [](auto& s) { s.game_length = -30; }},
        {"windowed two", "[video]\nwindowed=2\n", nullptr},
        {"word key code is zero, minus one absent", "[controls/redplayer]\nleft=-1\ndown=arrow\n",
         [](auto& s) { s.red_keys.down = 0; }},
        {"refresh rate and scale", "[video]\nrefreshrate=75\nscale=2\n",
         [](auto& s) { s.refresh_rate = 75, s.video_scale = 2; }},
        {"zero: largest scale", "[video]\nrefreshrate=0\nscale=0\n",
         [](auto& s) { s.video_scale = 0; }},
        // Values out of range and words the game does not know keep the default, and say so.
        {"computer", "[Players]\nRed=Computer\nGreen=keyboard\nSkill=3\n",
         [](auto& s) { s.red_player = PlayerKind::computer, s.computer_skill = 3; }},
        {"unknown player and skill", "[players]\nred=robot\ngreen=computer\nskill=4\n",
         [](auto& s) { s.green_player = PlayerKind::computer; }, 2},
        {"pads", "[Controls/RedPlayer]\nPad=none\n[Controls/GreenPlayer]\nPad=0\n",
         [](auto& s) { s.red_pad = -1, s.green_pad = 0; }},
        {"dead zone", "[Controls/RedPlayer]\nPad=-1\n[Controls]\nDeadZone=50\n",
         [](auto& s) { s.pad_dead_zone = 50; }},
        {"out of range", "[Controls]\nDeadZone=120\n[Network]\nInputDelay=9\n", nullptr, 2},
        {"no input delay", "[Network]\nInputDelay=0\n", [](auto& s) { s.input_delay = 0; }},
    });
}

TEST(GameSettings, ShippedFileLoadsQuietlyAndGivesDefaultsButAWindow) {
    game_settings_reset();
    testing::internal::CaptureStderr();
    game_settings_load(ZORBIT_SOURCE_DIR "/assets/zorbit.ini");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    GameSettings want;
    want.game_speed = 1.0000000149011612;
    want.fullscreen = 0;
    EXPECT_EQ(settings_text(game_settings), settings_text(want));
}

TEST(GameSettings, MissingFileKeepsDefaultsAndSaysSo) {
    // No display: the notice must only print, never wait for a click.
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    const std::string path = test_temp_path("missing.ini");
    game_settings_reset();
    testing::internal::CaptureStderr();
    game_settings_load(path.c_str());
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(settings_text(game_settings), settings_text(GameSettings{}));
    EXPECT_NE(err.find("*** error: cannot open file " + path + "\n\n"), std::string::npos) << err;
    EXPECT_NE(err.find("Zorbit: Cannot open ini file [zorbit.ini], loading defaults!\n"),
              std::string::npos)
        << err;
}

} // namespace
