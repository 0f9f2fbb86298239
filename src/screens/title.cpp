// The title screen: the picture revealed in three strips, then the panels cycling below it.
#include "screens/title.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "gfx/bitmap.h"
#include "gfx/channel.h"
#include "gfx/display.h"
#include "gfx/pictures.h"
#include "input/keyboard.h"
#include "input/pads.h"
#include "platform/system.h"
#include "screens/function_keys.h"
#include "settings/game_settings.h"
#include "sound/sound.h"

namespace {

constexpr int reveal_frames = 79;
constexpr int gradient_depth = 32;
constexpr int top_strip_end = 83; // the soft band covers rows 1..82
constexpr int colour_line_top = 83;
constexpr int green_band_top = 94;
constexpr int green_band_bottom = 109;
constexpr int panel_rows = 95;
constexpr int panel_count = 5;
constexpr int panel_top = 105;      // rows 105..199 of the copy hold the current panel
constexpr int wipe_first_row = 111; // the panel's first six rows are never shown
constexpr int hold_steps = 400;
constexpr int title_effect = 2;
constexpr int title_effect_frequency = 3000;

struct TitleState {
    std::vector<uint16_t> copy; // rows 0..104 the title picture, rows 105..199 a panel
    int panel;                  // 1..5, the next panel to show
    bool stop_mark;
    bool quit_mark;
    const TitleHooks* hooks;
    TitleChoice choice; // what the key that stopped the screen asked for
};

bool network_session(const TitleState& title) {
    return title.hooks != nullptr && title.hooks->network;
}

// In a network session keys 1 and 2, F1 and F2 do nothing.
bool key_starts(const TitleState& title, int key) {
    return !network_session(title) ||
           (key != key_play_red && key != key_play_green && key != key_f1 && key != key_f2);
}

// Keys 1 and 2 choose a match against the computer; any other key a match as the settings say.
TitleChoice choice_of_keys() {
    if (key_state[key_play_red]) {
        return TitleChoice::red_against_computer;
    }
    return key_state[key_play_green] ? TitleChoice::green_against_computer : TitleChoice::match;
}

bool keys_start(const TitleState& title) {
    for (int key = 0; key < key_count; ++key) {
        if (key_state[key] == 1 && key_starts(title, key)) {
            return true;
        }
    }
    return false;
}

// A key held now, or a match begun elsewhere, marks the screen to stop.
bool stop_seen(TitleState& title) {
    const bool remote = title.hooks != nullptr && title.hooks->started != nullptr &&
                        title.hooks->started(title.hooks->context);
    const bool held = keys_start(title) || quit_asked() || remote;
    if (held && !title.stop_mark) {
        title.choice = network_session(title) ? TitleChoice::match : choice_of_keys();
    }
    title.stop_mark = title.stop_mark || held;
    return held;
}

void function_keys_look(const TitleState& title) {
    if (!network_session(title)) {
        function_keys_handle(keyboard_match_keys());
    }
}

// Copies rows of a picture into the title copy; rows a damaged or short picture lacks stay as
// they were.
void picture_rows_copy(std::vector<uint16_t>& copy, const Bitmap* picture, int first_row, int rows,
                       int to_row) {
    if (picture == nullptr || picture->pixels == nullptr) {
        return;
    }
    const int width = std::min<int>(picture->width, frame_width);
    for (int r = 0; r < rows; ++r) {
        const int source_row = first_row + r;
        if (source_row >= picture->height) {
            return;
        }
        std::copy_n(picture->pixels + source_row * picture->width, width,
                    copy.data() + (to_row + r) * frame_width);
    }
}

void panel_next(TitleState& title) {
    picture_rows_copy(title.copy, pictures.title_panels, panel_rows * (title.panel - 1), panel_rows,
                      panel_top);
    title.panel = title.panel % panel_count + 1;
}

int green_amount(int k) {
    const int bits = display.pixel_format.green_bits;
    return bits >= 5 ? k << (bits - 5) : k >> (5 - bits);
}

// L(k): every channel of the copy's pixel, lowered by k, into the back buffer.
void pixel_lower(const TitleState& title, int i, int k) {
    const uint16_t* copy = title.copy.data();
    uint16_t* screen = display.back_buffer;
    pixel_put_red(screen, i, pixel_red_dimmed(copy, i, k));
    pixel_put_green(screen, i, pixel_green_dimmed(copy, i, green_amount(k)));
    pixel_put_blue(screen, i, pixel_blue_dimmed(copy, i, k));
}

// G(k): the green channel alone, lowered by k unscaled.
void pixel_lower_green(const TitleState& title, int i, int k) {
    pixel_put_green(display.back_buffer, i, pixel_green_dimmed(title.copy.data(), i, k));
}

void row_lower(const TitleState& title, int y, int k) {
    for (int x = 0; x < frame_width; ++x) {
        pixel_lower(title, y * frame_width + x, k);
    }
}

// A pad's Back leaves the title as Escape does.
bool escape_held() {
    return key_state[key_escape] != 0 || key_state[key_pad_back] != 0 || quit_asked();
}

void reveal_pass(const TitleState& title, int f) {
    for (int k = 0; k < gradient_depth; ++k) {
        if (f + k < top_strip_end) {
            row_lower(title, f + k, k);
        }
        for (int y = green_band_top; y <= green_band_bottom; ++y) {
            for (int j = 0; j < 4; ++j) {
                const int c = 4 * f + k + j;
                if (c >= frame_width) {
                    break;
                }
                pixel_lower_green(title, y * frame_width + c, k);
            }
        }
        for (int y = colour_line_top; y < green_band_top; ++y) {
            for (int j = 0; j < 4; ++j) {
                const int c = frame_width - 1 - 4 * f - k - j;
                if (c < 0) {
                    break;
                }
                pixel_lower(title, y * frame_width + c, k);
            }
        }
    }
}

void reveal_run(TitleState& title) {
    for (int f = 1; f <= reveal_frames; ++f) {
        reveal_pass(title, f);
        pump_events();
        function_keys_look(title);
        if (escape_held()) {
            title.stop_mark = true;
            title.quit_mark = true;
            return;
        }
        stop_seen(title);
        delay_ms(8);
        display_present(display.back_buffer);
        if (title.stop_mark) {
            return;
        }
    }
}

// The wipes write only rows 111..199, the part of the panel that shows.
void wipe_row_lower(const TitleState& title, int y, int k) {
    if (y >= wipe_first_row && y < frame_height) {
        row_lower(title, y, k);
    }
}

bool wipe_frame_end(TitleState& title) {
    pump_events();
    delay_ms(8);
    display_present(display.back_buffer);
    function_keys_look(title);
    return stop_seen(title);
}

void wipe_rising(TitleState& title) {
    for (int r = 199; r >= 79; --r) {
        for (int j = 0; j < gradient_depth; ++j) {
            wipe_row_lower(title, r + j, gradient_depth - j);
        }
        if (wipe_frame_end(title)) {
            return;
        }
    }
}

void wipe_falling(TitleState& title) {
    for (int r = 71; r <= 199; ++r) {
        for (int k = 0; k < gradient_depth; ++k) {
            wipe_row_lower(title, r + k, k);
        }
        if (wipe_frame_end(title)) {
            return;
        }
    }
}

void panel_hold(TitleState& title) {
    for (int step = 0; step < hold_steps; ++step) {
        pump_events();
        function_keys_look(title);
        if (stop_seen(title)) {
            return;
        }
        delay_ms(13);
    }
}

void panels_run(TitleState& title) {
    while (!title.stop_mark) {
        panel_next(title);
        wipe_rising(title);
        panel_hold(title);
        panel_next(title);
        wipe_falling(title);
        panel_hold(title);
        if (escape_held()) {
            title.quit_mark = true;
        }
    }
}

} // namespace

TitleChoice title_screen_run(const TitleHooks* hooks) {
    TitleState title{
        std::vector<uint16_t>(frame_pixels, 0), 1, false, false, hooks, TitleChoice::match};
    picture_rows_copy(title.copy, pictures.title_picture, 0, frame_height, 0);
    display_clear(display.back_buffer);
    display_present(display.back_buffer);

    reveal_run(title);
    if (!title.stop_mark) {
        panels_run(title);
    }

    pump_events();
    display_present(display.back_buffer);
    if (!game_settings.sound_disabled) {
        sound_play_effect(title_effect, title_effect_frequency);
    }
    std::vector<uint16_t>().swap(title.copy);
    if (title.quit_mark) {
        return TitleChoice::quit;
    }
    display_present(display.back_buffer);
    return title.choice;
}
