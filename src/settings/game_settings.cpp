#include "settings/game_settings.h"

#include "platform/platform.h"
#include "platform/system.h"
#include "settings/settings_file.h"
#include "settings/settings_table.h"

#include <cstdio>
#include <strings.h>

namespace {

// What a lookup gives for an absent key; a file that writes -1 therefore keeps the default.
constexpr int32_t setting_absent = -1;

void setting_switch_off(const SettingsTable* table, const char* key, int32_t& disabled) {
    if (settings_get_int(table, key, setting_absent) == 0) {
        disabled = 1;
    }
}

// A file value of minimum or more replaces target.
void setting_take(const SettingsTable* table, const char* key, int32_t& target,
                  int32_t minimum = INT32_MIN) {
    int32_t value = settings_get_int(table, key, setting_absent);
    if (value != setting_absent && value >= minimum) {
        target = value;
    }
}

void setting_take_keys(const SettingsTable* table, const char* section, PlayerKeys& keys) {
    const char* names[] = {"left", "right", "up", "down"};
    int32_t* targets[] = {&keys.left, &keys.right, &keys.up, &keys.down};
    for (int i = 0; i < 4; ++i) {
        char key[64];
        std::snprintf(key, sizeof key, "%s:%s", section, names[i]);
        setting_take(table, key, *targets[i]);
    }
}

// A number within the range replaces target; anything else there keeps it, with a line on stderr.
void setting_take_bounded(const SettingsTable* table, const char* key, int32_t& target,
                          int32_t minimum, int32_t maximum) {
    const char* text = settings_table_find(table, key);
    const int32_t value = settings_get_int(table, key, setting_absent);
    if (text == nullptr || value == setting_absent) {
        return;
    }
    if (value < minimum || value > maximum) {
        warning("%s=%s is not %d to %d; using %d", key, text, minimum, maximum, target);
        return;
    }
    target = value;
}

bool text_is(const char* text, const char* word) {
    return text != nullptr && strcasecmp(text, word) == 0;
}

void setting_take_player(const SettingsTable* table, const char* key, PlayerKind& target) {
    const char* text = settings_table_find(table, key);
    if (text == nullptr || text_is(text, "keyboard")) {
        target = PlayerKind::keyboard;
    } else if (text_is(text, "computer")) {
        target = PlayerKind::computer;
    } else {
        warning("%s=%s is neither keyboard nor computer; using keyboard", key, text);
        target = PlayerKind::keyboard;
    }
}

// A pad number, or none; -1 is no value at all, as everywhere in the file.
void setting_take_pad(const SettingsTable* table, const char* key, int32_t& target) {
    if (text_is(settings_table_find(table, key), "none")) {
        target = pad_none;
        return;
    }
    setting_take_bounded(table, key, target, 0, 15);
}

void game_settings_apply_ours(const SettingsTable* table) {
    GameSettings& s = game_settings;
    setting_take_player(table, "players:red", s.red_player);
    setting_take_player(table, "players:green", s.green_player);
    setting_take_bounded(table, "players:skill", s.computer_skill, 1, 3);
    setting_take_pad(table, "controls/redplayer:pad", s.red_pad);
    setting_take_pad(table, "controls/greenplayer:pad", s.green_pad);
    setting_take_bounded(table, "controls:deadzone", s.pad_dead_zone, 0, 95);
    setting_take_bounded(table, "network:inputdelay", s.input_delay, 0, 8);
}

} // namespace

GameSettings game_settings;

void game_settings_reset() {
    game_settings = GameSettings{};
}

void game_settings_apply(const SettingsTable* table) {
    GameSettings& s = game_settings;
    setting_switch_off(table, "general:enableplasma", s.plasma_disabled);
    setting_switch_off(table, "audio:enablesound", s.sound_disabled);
    setting_switch_off(table, "audio:enablemusic", s.music_disabled);
    int32_t speed = settings_get_int(table, "general:gamespeed", setting_absent);
    if (speed != setting_absent) {
        // Tenths, scaled by the single-precision 0.1 in double arithmetic: 10 is 1.0000000149...
        s.game_speed = static_cast<double>(speed) * static_cast<double>(0.1f);
    }
    setting_take(table, "general:gamelength", s.game_length);
    if (settings_get_int(table, "video:windowed", setting_absent) == 1) {
        s.fullscreen = 0;
    }
    setting_take_keys(table, "controls/redplayer", s.red_keys);
    setting_take_keys(table, "controls/greenplayer", s.green_keys);
    // Our own video keys: a zero frame rate or scale would make no sense.
    setting_take(table, "video:refreshrate", s.refresh_rate, 1);
    setting_take(table, "video:scale", s.video_scale);
    game_settings_apply_ours(table);
}

void game_settings_load(const char* path) {
    SettingsTable* table = settings_load(path);
    if (table == nullptr) {
        // The text names the usual file whatever the path, as players know it.
        notice_show("Cannot open ini file [zorbit.ini], loading defaults!", "Zorbit");
    }
    game_settings_apply(table);
    settings_free(table);
}
