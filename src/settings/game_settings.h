#pragma once
// The game settings: built-in defaults, overridden once at start-up from zorbit.ini.
#include <cstdint>
#include <string>

struct SettingsTable;

struct PlayerKeys {
    int32_t left;
    int32_t right;
    int32_t up;
    int32_t down;
};

enum class PlayerKind : uint8_t { keyboard, computer };

constexpr int32_t pad_none = -1;

struct GameSettings {
    double game_speed = 1.0;
    int32_t game_length = 84;
    int32_t fullscreen = 1;
    int32_t plasma_disabled = 0;
    int32_t sound_disabled = 0;
    int32_t music_disabled = 0;
    PlayerKeys red_keys = {276, 275, 273, 274};
    PlayerKeys green_keys = {111, 112, 113, 97};
    // Our own additions: frames per second of the pacer, and the window's scale factor.
    int32_t refresh_rate = 60;
    int32_t video_scale = 3;
    // Who plays each side when a match starts with any key but 1 and 2, and how well the
    // computer plays (1 to 3).
    PlayerKind red_player = PlayerKind::keyboard;
    PlayerKind green_player = PlayerKind::keyboard;
    int32_t computer_skill = 2;
    // The gamepad that steers each side, or pad_none; and the stick's dead zone in percent.
    int32_t red_pad = 0;
    int32_t green_pad = 1;
    int32_t pad_dead_zone = 30;
    // Frames a network match holds each side's input back (0 to 8).
    int32_t input_delay = 2;
    // The file the settings came from; the key screen appends its blocks there.
    std::string settings_path = "zorbit.ini";
};

extern GameSettings game_settings;

constexpr const char* settings_file_name = "zorbit.ini";

// Puts every setting back to its built-in default.
void game_settings_reset();
// Copies the recognised settings of a loaded table into the game settings.
void game_settings_apply(const SettingsTable* table);
// Loads the file, shows the notice when it is missing, applies, frees.
void game_settings_load(const char* path);
