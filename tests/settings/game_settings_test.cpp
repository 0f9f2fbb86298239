// Start-up settings: what each settings file makes of the game's globals.
#include "settings/game_settings.h"
#include "settings/settings_file.h"
#include "settings/settings_table.h"
#include "support/test_archive.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

namespace {

// Written out by hand, not taken from the code, so a wrong default shows.
GameSettings defaults_by_hand() {
    GameSettings s;
    s.game_speed = 1.0;
    s.game_length = 84;
    s.fullscreen = 1;
    s.plasma_disabled = s.sound_disabled = s.music_disabled = 0;
    s.red_keys = {276, 275, 273, 274};
    s.green_keys = {111, 112, 113, 97};
    s.refresh_rate = 60;
    s.video_scale = 3;
    return s;
}

// One line holding every field, so a failure shows exactly which differ; speed to the last bit.
std::string settings_text(const GameSettings& s) {
    char text[256];
    const PlayerKeys &r = s.red_keys, &g = s.green_keys;
    std::snprintf(text, sizeof text,
                  "speed %.17g length %d fullscreen %d off %d%d%d red %d %d %d %d green %d %d %d "
                  "%d refresh %d scale %d",
                  s.game_speed, s.game_length, s.fullscreen, s.plasma_disabled, s.sound_disabled,
                  s.music_disabled, r.left, r.right, r.up, r.down, g.left, g.right, g.up, g.down,
                  s.refresh_rate, s.video_scale);
    return text;
}

struct StartupCase {
    const char* name;
    const char* text;
    std::function<void(GameSettings&)> change;
};

void run_cases(const std::vector<StartupCase>& cases) {
    for (const StartupCase& c : cases) {
        const std::string path = test_temp_path("zorbit.ini");
        ASSERT_TRUE(test_write_file(path, {c.text, c.text + std::strlen(c.text)}));
        SettingsTable* table = settings_load(path.c_str());
        std::filesystem::remove(path);
        ASSERT_NE(table, nullptr) << c.name;
        game_settings_reset();
        game_settings_apply(table);
        settings_free(table);
        GameSettings want = defaults_by_hand();
        if (c.change) {
            c.change(want);
        }
        EXPECT_EQ(settings_text(game_settings), settings_text(want)) << c.name;
    }
}

// Each row below starts from a reset, so a reset that missed a field shows there too.
TEST(GameSettings, Defaults) {
    EXPECT_EQ(settings_text(game_settings), settings_text(defaults_by_hand()));
}

// Switches turn off only on zero; speed is tenths in single precision; -1 means absent.
TEST(GameSettings, FileValuesReplaceTheDefaults) {
    run_cases({
        {"no keys", "[general]\n[audio]\n", nullptr},
        {"word reads as zero", "[audio]\nenablesound=no\n", [](auto& s) { s.sound_disabled = 1; }},
        {"empty quotes read as zero", "[audio]\nenablemusic=\"\"\n",
         [](auto& s) { s.music_disabled = 1; }},
        {"one, two, minus one leave on",
         "[general]\nenableplasma=1\n[audio]\nenablesound=2\nenablemusic=-1\n", nullptr},
        {"all off", "[General]\nEnablePlasma=0\n[Audio]\nEnableSound=0 ; quiet\nEnableMusic='0'\n",
         [](auto& s) { s.plasma_disabled = s.sound_disabled = s.music_disabled = 1; }},
        {"wrong section", "[video]\nenablesound=0\n", nullptr},
        {"speed ten", "[general]\ngamespeed=10\n",
         [](auto& s) { s.game_speed = 1.0000000149011612; }},
        {"speed zero", "[general]\ngamespeed=0\n", [](auto& s) { s.game_speed = 0.0; }},
        {"speed negative", "[general]\ngamespeed=-5\n",
         [](auto& s) { s.game_speed = -0.5000000074505806; }},
        {"speed minus one", "[general]\ngamespeed=-1\n", nullptr},
        {"speed fraction", "[general]\ngamespeed=12.9\n",
         [](auto& s) { s.game_speed = 1.2000000178813934; }},
        {"length negative", "[general]\ngamelength=-30\n", [](auto& s) { s.game_length = -30; }},
        {"length minus one", "[general]\ngamelength=-1\n", nullptr},
        {"length with text", "[general]\ngamelength=90s\n", [](auto& s) { s.game_length = 90; }},
        {"windowed", "[Video]\nWindowed=1\n", [](auto& s) { s.fullscreen = 0; }},
        {"windowed two", "[video]\nwindowed=2\n", nullptr},
        {"red keys", "[Controls/RedPlayer]\nLeft=97\nRight=100\nUp=119\nDown=115\n",
         [](auto& s) { s.red_keys = PlayerKeys(97, 100, 119, 115); }},
        {"one green key", "[controls/greenplayer]\n  up = 273\n",
         [](auto& s) { s.green_keys.up = 273; }},
        {"word key code is zero", "[controls/redplayer]\ndown=arrow\n",
         [](auto& s) { s.red_keys.down = 0; }},
        {"key minus one", "[controls/redplayer]\nleft=-1\n", nullptr},
        {"spaces in header hide the keys", "[ controls/redplayer ]\nleft=5\n", nullptr},
        {"later block wins",
         "[Controls/RedPlayer]\nLeft=1\nRight=2\n\n[Controls/RedPlayer]\nLeft=3\n",
         [](auto& s) { s.red_keys = PlayerKeys(3, 2, 273, 274); }},
        {"refresh rate", "[video]\nrefreshrate=75\n", [](auto& s) { s.refresh_rate = 75; }},
        {"scale two", "[video]\nscale=2\n", [](auto& s) { s.video_scale = 2; }},
        {"zero: largest scale", "[video]\nrefreshrate=0\nscale=0\n",
         [](auto& s) { s.video_scale = 0; }},
        {"negative rate refused", "[video]\nrefreshrate=-60\n", nullptr},
    });
}

// Players, pads, the dead zone and the network's input delay: values out of range or words
// the game does not know keep the default, with one line on stderr each.
TEST(GameSettings, PlayersPadsAndNetworkKeys) {
    const struct {
        const char* file;
        const char* seen; // red green skill red-pad green-pad dead-zone delay
        int lines;        // on stderr
    } cases[] = {
        {"", "kb kb 2 0 1 30 2", 0},
        {"[Players]\nRed=Computer\nGreen=keyboard\nSkill=3\n", "cpu kb 3 0 1 30 2", 0},
        {"[players]\nred=robot\ngreen=computer\nskill=4\n", "kb cpu 2 0 1 30 2", 2},
        {"[Controls/RedPlayer]\nPad=none\n[Controls/GreenPlayer]\nPad=0\n", "kb kb 2 - 0 30 2", 0},
        {"[Controls/RedPlayer]\nPad=-1\n[Controls]\nDeadZone=50\n", "kb kb 2 0 1 50 2", 0},
        {"[Controls]\nDeadZone=120\n[Network]\nInputDelay=9\n", "kb kb 2 0 1 30 2", 2},
        {"[Network]\nInputDelay=0\n", "kb kb 2 0 1 30 0", 0},
    };
    for (const auto& c : cases) {
        const std::string path = test_temp_path("ours.ini");
        std::ofstream(path) << c.file;
        game_settings_reset();
        testing::internal::CaptureStderr();
        game_settings_load(path.c_str());
        const std::string said = testing::internal::GetCapturedStderr();
        const GameSettings& s = game_settings;
        const auto who = [](PlayerKind k) { return k == PlayerKind::computer ? "cpu" : "kb"; };
        const auto pad = [](int32_t p) { return p < 0 ? std::string("-") : std::to_string(p); };
        const std::string seen = std::string(who(s.red_player)) + " " + who(s.green_player) + " " +
                                 std::to_string(s.computer_skill) + " " + pad(s.red_pad) + " " +
                                 pad(s.green_pad) + " " + std::to_string(s.pad_dead_zone) + " " +
                                 std::to_string(s.input_delay);
        EXPECT_EQ(seen, c.seen) << c.file;
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), c.lines) << said;
    }
}

TEST(GameSettings, ShippedFileLoadsQuietlyAndGivesDefaultsButAWindow) {
    game_settings_reset();
    testing::internal::CaptureStderr();
    game_settings_load(ZORBIT_SOURCE_DIR "/assets/zorbit.ini");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    GameSettings want = defaults_by_hand();
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
    EXPECT_EQ(settings_text(game_settings), settings_text(defaults_by_hand()));
    EXPECT_NE(err.find("*** error: cannot open file " + path + "\n\n"), std::string::npos) << err;
    EXPECT_NE(err.find("Zorbit: Cannot open ini file [zorbit.ini], loading defaults!\n"),
              std::string::npos)
        << err;
}

} // namespace
