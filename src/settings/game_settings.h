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
