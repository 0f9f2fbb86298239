#pragma once
// The game settings: built-in defaults, overridden once at start-up from zorbit.ini.
#include <cstdint>

struct SettingsTable;

struct PlayerKeys {
    int32_t left;
    int32_t right;
    int32_t up;
    int32_t down;
};

extern double game_speed;
extern int32_t game_length;
extern int32_t fullscreen;
extern int32_t plasma_disabled;
extern int32_t sound_disabled;
extern int32_t music_disabled;
extern PlayerKeys red_keys;
extern PlayerKeys green_keys;
// Our own additions: frames per second of the pacer, and the window's scale factor.
extern int32_t refresh_rate;
extern int32_t video_scale;

constexpr const char* settings_file_name = "zorbit.ini";

// Puts every setting back to its built-in default.
void game_settings_reset();
// Copies the recognised settings of a loaded table into the globals.
void game_settings_apply(const SettingsTable* table);
// Start-up steps 2 to 4: load the file, show the notice when it is missing, apply, free.
void game_settings_load(const char* path);
