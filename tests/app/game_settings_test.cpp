// Start-up settings: what each settings file makes of the game's globals.
#include "app/game_settings.h"
#include "settings/settings_file.h"
#include "settings/settings_table.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {

struct GameSettingsSnapshot {
    double speed;
    int32_t length;
    int32_t fullscreen;
    int32_t plasma_disabled;
    int32_t sound_disabled;
    int32_t music_disabled;
    PlayerKeys red;
    PlayerKeys green;
    int32_t refresh_rate;
    int32_t video_scale;
};

GameSettingsSnapshot snapshot_take() {
    return {game_speed,     game_length, fullscreen, plasma_disabled, sound_disabled,
            music_disabled, red_keys,    green_keys, refresh_rate,    video_scale};
}

// Written out by hand, not taken from the code, so a wrong default shows.
GameSettingsSnapshot snapshot_defaults() {
    return {1.0, 84, 1, 0, 0, 0, {276, 275, 273, 274}, {111, 112, 113, 97}, 60, 3};
}

void expect_snapshot(const GameSettingsSnapshot& got, const GameSettingsSnapshot& want,
                     const std::string& label) {
    SCOPED_TRACE(label);
    EXPECT_EQ(got.speed, want.speed);
    EXPECT_EQ(got.length, want.length);
    EXPECT_EQ(got.fullscreen, want.fullscreen);
    EXPECT_EQ(got.plasma_disabled, want.plasma_disabled);
    EXPECT_EQ(got.sound_disabled, want.sound_disabled);
    EXPECT_EQ(got.music_disabled, want.music_disabled);
    const int32_t got_keys[] = {got.red.left,   got.red.right,   got.red.up,   got.red.down,
                                got.green.left, got.green.right, got.green.up, got.green.down};
    const int32_t want_keys[] = {want.red.left,   want.red.right,   want.red.up,   want.red.down,
                                 want.green.left, want.green.right, want.green.up, want.green.down};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(got_keys[i], want_keys[i]) << "key " << i;
    }
    EXPECT_EQ(got.refresh_rate, want.refresh_rate);
    EXPECT_EQ(got.video_scale, want.video_scale);
}

std::string temp_settings_path() {
    static int serial = 0;
    std::string name =
        "zorbit_game_" + std::to_string(getpid()) + "_" + std::to_string(serial++) + ".ini";
    return (std::filesystem::temp_directory_path() / name).string();
}

std::string write_temp(std::string_view text) {
    std::string path = temp_settings_path();
    std::ofstream out(path, std::ios::binary);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    return path;
}

struct StartupCase {
    const char* name;
    const char* text;
    std::function<void(GameSettingsSnapshot&)> change;
};

void run_cases(const std::vector<StartupCase>& cases) {
    for (const StartupCase& c : cases) {
        std::string path = write_temp(c.text);
        SettingsTable* table = settings_load(path.c_str());
        std::filesystem::remove(path);
        ASSERT_NE(table, nullptr) << c.name;
        game_settings_reset();
        game_settings_apply(table);
        settings_free(table);
        GameSettingsSnapshot want = snapshot_defaults();
        if (c.change) {
            c.change(want);
        }
        expect_snapshot(snapshot_take(), want, c.name);
    }
}

TEST(GameSettings, DefaultsBeforeAndAfterReset) {
    expect_snapshot(snapshot_take(), snapshot_defaults(), "initial values");
    game_speed = 3.0;
    game_length = 1;
    fullscreen = 0;
    plasma_disabled = sound_disabled = music_disabled = 1;
    red_keys = green_keys = {1, 2, 3, 4};
    refresh_rate = video_scale = 9;
    game_settings_reset();
    expect_snapshot(snapshot_take(), snapshot_defaults(), "after reset");
}

TEST(GameSettings, EnableSwitchesTurnOffOnlyOnZero) {
    run_cases({
        {"no keys", "[general]\n[audio]\n", nullptr},
        {"plasma off", "[General]\nEnablePlasma=0\n", [](auto& s) { s.plasma_disabled = 1; }},
        {"sound off", "[Audio]\nEnableSound=0\n", [](auto& s) { s.sound_disabled = 1; }},
        {"music off", "[Audio]\nEnableMusic=0\n", [](auto& s) { s.music_disabled = 1; }},
        {"word reads as zero", "[audio]\nenablesound=no\n", [](auto& s) { s.sound_disabled = 1; }},
        {"empty quotes read as zero", "[audio]\nenablemusic=\"\"\n",
         [](auto& s) { s.music_disabled = 1; }},
        {"one, two, minus one leave on",
         "[general]\nenableplasma=1\n[audio]\nenablesound=2\nenablemusic=-1\n", nullptr},
        {"all off", "[general]\nenableplasma=0\n[audio]\nenablesound=0 ; quiet\nenablemusic='0'\n",
         [](auto& s) { s.plasma_disabled = s.sound_disabled = s.music_disabled = 1; }},
        {"wrong section", "[video]\nenablesound=0\n", nullptr},
    });
}

TEST(GameSettings, SpeedIsTenthsInSinglePrecision) {
    run_cases({
        {"ten", "[general]\ngamespeed=10\n", [](auto& s) { s.speed = 1.0000000149011612; }},
        {"fifteen", "[general]\ngamespeed=15\n", [](auto& s) { s.speed = 1.5000000223517418; }},
        {"zero", "[general]\ngamespeed=0\n", [](auto& s) { s.speed = 0.0; }},
        {"negative", "[general]\ngamespeed=-5\n", [](auto& s) { s.speed = -0.5000000074505806; }},
        {"minus one is absent", "[general]\ngamespeed=-1\n", nullptr},
        {"fraction reads its integer part", "[general]\ngamespeed=12.9\n",
         [](auto& s) { s.speed = 1.2000000178813934; }},
        {"word reads as zero", "[general]\ngamespeed=fast\n", [](auto& s) { s.speed = 0.0; }},
    });
}

TEST(GameSettings, LengthAndWindow) {
    run_cases({
        {"length", "[general]\ngamelength=120\n", [](auto& s) { s.length = 120; }},
        {"length zero", "[general]\ngamelength=0\n", [](auto& s) { s.length = 0; }},
        {"length negative", "[general]\ngamelength=-30\n", [](auto& s) { s.length = -30; }},
        {"length minus one", "[general]\ngamelength=-1\n", nullptr},
        {"length with text", "[general]\ngamelength=90s\n", [](auto& s) { s.length = 90; }},
        {"windowed", "[Video]\nWindowed=1\n", [](auto& s) { s.fullscreen = 0; }},
        {"windowed zero", "[video]\nwindowed=0\n", nullptr},
        {"windowed two", "[video]\nwindowed=2\n", nullptr},
        {"windowed word", "[video]\nwindowed=yes\n", nullptr},
    });
}

TEST(GameSettings, PlayerKeys) {
    run_cases({
        {"red keys", "[Controls/RedPlayer]\nLeft=97\nRight=100\nUp=119\nDown=115\n",
         [](auto& s) {
             s.red = {97, 100, 119, 115};
         }},
        {"green keys", "[controls/greenplayer]\nleft=106\nright=108\nup=105\ndown=107\n",
         [](auto& s) {
             s.green = {106, 108, 105, 107};
         }},
        {"one key, rest default", "[controls/greenplayer]\n  up = 273\n",
         [](auto& s) { s.green.up = 273; }},
        {"word key code is zero", "[controls/redplayer]\ndown=arrow\n",
         [](auto& s) { s.red.down = 0; }},
        {"minus one keeps default", "[controls/redplayer]\nleft=-1\n", nullptr},
        {"spaces in header hide the keys", "[ controls/redplayer ]\nleft=5\n", nullptr},
        {"later block wins",
         "[Controls/RedPlayer]\nLeft=1\nRight=2\n\n; Redefined keys\n[Controls/RedPlayer]\n"
         "Left=3\n",
         [](auto& s) {
             s.red.left = 3;
             s.red.right = 2;
         }},
    });
}

TEST(GameSettings, OurVideoKeysNeedSensibleValues) {
    run_cases({
        {"refresh and scale", "[video]\nrefreshrate=75\nscale=2\n",
         [](auto& s) {
             s.refresh_rate = 75;
             s.video_scale = 2;
         }},
        {"scale one", "[video]\nscale=1\n", [](auto& s) { s.video_scale = 1; }},
        {"zero refused", "[video]\nrefreshrate=0\nscale=0\n", nullptr},
        {"negative refused", "[video]\nrefreshrate=-60\nscale=-2\n", nullptr},
        {"word refused", "[video]\nrefreshrate=max\n", nullptr},
    });
}

TEST(GameSettings, ShippedFileGivesDefaultsButAWindow) {
    std::string path = std::string(ZORBIT_SOURCE_DIR) + "/assets/zorbit.ini";
    game_settings_reset();
    game_settings_load(path.c_str());
    GameSettingsSnapshot want = snapshot_defaults();
    want.speed = 1.0000000149011612;
    want.fullscreen = 0;
    expect_snapshot(snapshot_take(), want, "assets/zorbit.ini");
}

TEST(GameSettings, MissingFileKeepsDefaultsAndSaysSo) {
    // No display: the notice must only print, never wait for a click.
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    std::string path = temp_settings_path();
    game_settings_reset();
    testing::internal::CaptureStderr();
    game_settings_load(path.c_str());
    std::string err = testing::internal::GetCapturedStderr();
    expect_snapshot(snapshot_take(), snapshot_defaults(), "missing file");
    EXPECT_NE(err.find("*** error: cannot open file " + path + "\n\n"), std::string::npos) << err;
    EXPECT_NE(err.find("Zorbit: Cannot open ini file [zorbit.ini], loading defaults!\n"),
              std::string::npos)
        << err;
}

TEST(GameSettings, LoadAppliesAnExistingFileQuietly) {
    std::string path = write_temp("[General]\nGameLength=30\n[Audio]\nEnableSound=0\n");
    game_settings_reset();
    testing::internal::CaptureStderr();
    game_settings_load(path.c_str());
    std::string err = testing::internal::GetCapturedStderr();
    std::filesystem::remove(path);
    GameSettingsSnapshot want = snapshot_defaults();
    want.length = 30;
    want.sound_disabled = 1;
    expect_snapshot(snapshot_take(), want, "loaded file");
    EXPECT_EQ(err, "");
}

} // namespace
