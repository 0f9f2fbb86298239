// The F1 and F2 screens. Both freeze what is shown, draw over it and leave it as they found it.
#include "screens/overlays.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <vector>

#include "gfx/bitmap.h"
#include "gfx/channel.h"
#include "gfx/display.h"
#include "gfx/image.h"
#include "gfx/pictures.h"
#include "input/keyboard.h"
#include "platform/system.h"
#include "settings/game_settings.h"

Overlays overlays;

namespace {

constexpr int info_picture_entry = 10;
constexpr int keys_picture_entry = 18;
constexpr int key_taken_marker_entry = 19;
constexpr int key_wait_marker_entry = 20;

constexpr int curtain_top = 94;    // band A: rows 94..99
constexpr int curtain_split = 100; // band B: rows 100..105
constexpr int curtain_band_rows = 6;
constexpr int curtain_max_frames = 95;

constexpr const char* key_block_format = "\n   ; Redefined keys\n   [Controls/RedPlayer]\n"
                                         "       Left=%d\n       Right=%d\n       Up=%d\n"
                                         "       Down=%d\n\n   [Controls/GreenPlayer]\n"
                                         "       Left=%d\n       Right=%d\n       Up=%d\n"
                                         "       Down=%d\n";

struct KeyPromptPlace {
    int32_t* setting;
    int x;
    int y;
};

std::vector<uint16_t> screen_save() {
    return std::vector<uint16_t>(display.back_buffer, display.back_buffer + frame_pixels);
}

void screen_restore(const std::vector<uint16_t>& saved) {
    std::copy(saved.begin(), saved.end(), display.back_buffer);
}

uint16_t* screen_row(int row) {
    return display.back_buffer + row * frame_width;
}

// Pictures may be missing or narrower than the screen: rows they do not have keep the frozen
// screen.
void picture_row_show(const Bitmap* picture, int picture_row, int row) {
    if (picture == nullptr || picture->pixels == nullptr || picture_row < 0 ||
        picture_row >= picture->height) {
        return;
    }
    const uint16_t* source = picture->pixels + picture_row * picture->width;
    std::copy_n(source, std::min<int>(picture->width, frame_width), screen_row(row));
}

void band_show(const std::vector<uint16_t>& band, int top_row) {
    std::copy(band.begin(), band.end(), screen_row(top_row));
}

std::vector<uint16_t> band_keep(int top_row) {
    const uint16_t* first = screen_row(top_row);
    return std::vector<uint16_t>(first, first + curtain_band_rows * frame_width);
}

// The highest key whose state differs from before, or 0 when none does.
int key_changed_highest(const std::array<uint8_t, key_count>& before) {
    for (int index = key_count - 1; index > 0; --index) {
        if (key_state[index] != before[index]) {
            return index;
        }
    }
    return 0;
}

void channel_step(uint16_t* current, int index, uint16_t target, uint16_t value, int shift,
                  void (*put)(uint16_t*, int, uint16_t)) {
    const auto unit = static_cast<uint16_t>(1u << shift);
    if (target > value) {
        put(current, index, static_cast<uint16_t>(value + unit));
    } else if (target < value) {
        put(current, index, static_cast<uint16_t>(value - unit));
    }
}

// False when the program was asked to end before every key was given.
bool keys_ask() {
    PlayerKeys& red = game_settings.red_keys;
    PlayerKeys& green = game_settings.green_keys;
    const std::array<KeyPromptPlace, 8> places{{
        {&red.left, 90, 93},
        {&red.right, 90, 113},
        {&red.up, 90, 135},
        {&red.down, 90, 157},
        {&green.left, 205, 93},
        {&green.right, 205, 113},
        {&green.up, 205, 135},
        {&green.down, 205, 157},
    }};
    // Asked to end, the screen stops asking and the keys as they were stay.
    const PlayerKeys red_before = red;
    const PlayerKeys green_before = green;
    for (const KeyPromptPlace& place : places) {
        const int key = key_prompt(place.x, place.y);
        if (quit_asked()) {
            red = red_before;
            green = green_before;
            return false;
        }
        *place.setting = key;
    }
    return true;
}

// Where a plain file ends (0 when there is none yet), so a block that fails halfway can be cut
// back off; nothing for a device or a folder, or when the size cannot be read.
std::optional<std::uintmax_t> file_end(const char* path) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        return 0;
    }
    if (error || !std::filesystem::is_regular_file(status)) {
        return std::nullopt;
    }
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    return error ? std::nullopt : std::optional<std::uintmax_t>(size);
}

void key_block_report(const char* path, int error) {
    warning("cannot save the new keys to %s: %s", path, std::strerror(error != 0 ? error : EIO));
}

} // namespace

void bar_wipe() {
    for (int x = 0; x <= 315; x += 5) {
        bitmap_put(pictures.wipe_bar_upper, static_cast<uint16_t>(x), curtain_top);
        bitmap_put(pictures.wipe_bar_lower, static_cast<uint16_t>(315 - x), curtain_split);
        display_present(display.back_buffer);
    }
}

void curtain_open(const Bitmap* picture, int n) {
    n = std::clamp(n, 0, curtain_max_frames);
    const std::vector<uint16_t> band_a = band_keep(curtain_top);
    const std::vector<uint16_t> band_b = band_keep(curtain_split);
    for (int s = 0; s < n; ++s) {
        band_show(band_a, curtain_top - s);
        picture_row_show(picture, n - s, curtain_split - s);
        picture_row_show(picture, n - 1 + s, curtain_split - 1 + s);
        band_show(band_b, curtain_split + s);
        pump_events();
        display_present(display.back_buffer);
    }
}

int key_prompt(int x, int y) {
    bitmap_put(overlays.key_wait_marker, static_cast<uint16_t>(x), static_cast<uint16_t>(y));
    display_present(display.back_buffer);
    const std::array<uint8_t, key_count> before = key_state;
    // Like the other key waits, hand the processor back between polls.
    int key = 0;
    for (;;) {
        pump_events();
        key = key_changed_highest(before);
        if (key != 0) {
            break;
        }
        if (quit_asked()) {
            return 0;
        }
        delay_ms(1);
    }
    bitmap_put(overlays.key_taken_marker, static_cast<uint16_t>(x), static_cast<uint16_t>(y));
    display_present(display.back_buffer);
    wait_keys_released();
    return key;
}

void fade_to_image(const uint16_t* target, uint16_t* current) {
    for (int step = 0; step < 32; ++step) {
        for (int i = 0; i < frame_pixels; ++i) {
            const PixelFormat& format = display.pixel_format;
            channel_step(current, i, pixel_red_dimmed(target, i, 0),
                         pixel_red_dimmed(current, i, 0), format.red_shift, pixel_put_red);
            channel_step(current, i, pixel_green_dimmed(target, i, 0),
                         pixel_green_dimmed(current, i, 0), format.green_shift, pixel_put_green);
            channel_step(current, i, pixel_blue_dimmed(target, i, 0),
                         pixel_blue_dimmed(current, i, 0), format.blue_shift, pixel_put_blue);
        }
        display_present(current);
    }
}

bool key_block_append(const char* path) {
    std::array<char, 512> block{};
    const PlayerKeys& red = game_settings.red_keys;
    const PlayerKeys& green = game_settings.green_keys;
    const int length =
        std::snprintf(block.data(), block.size(), key_block_format, red.left, red.right, red.up,
                      red.down, green.left, green.right, green.up, green.down);
    const std::optional<std::uintmax_t> kept = file_end(path);
    std::FILE* file = std::fopen(path, "at");
    if (file == nullptr) {
        key_block_report(path, errno);
        return false;
    }
    errno = 0;
    bool saved = std::fwrite(block.data(), 1, static_cast<size_t>(length), file) ==
                 static_cast<size_t>(length);
    int error = errno;
    if (std::fclose(file) != 0 && saved) {
        saved = false;
        error = errno;
    }
    if (saved) {
        return true;
    }
    // A torn block would hand the next start half a set of keys; what was there stays.
    if (kept) {
        std::error_code ignored;
        std::filesystem::resize_file(path, *kept, ignored);
    }
    key_block_report(path, error);
    return false;
}

void info_screen_run() {
    if (overlays.overlay_busy) {
        return;
    }
    overlays.overlay_busy = 1;
    const bool hashing = display_hashing_set(false);
    const std::vector<uint16_t> saved = screen_save();
    Bitmap* info_picture = image_load(info_picture_entry);
    bar_wipe();
    curtain_open(info_picture, 91);
    wait_key_change();
    wait_keys_released();
    screen_restore(saved);
    image_release(info_picture, info_picture_entry);
    overlays.overlay_busy = 0;
    display_present(display.back_buffer);
    display_hashing_set(hashing);
}

void key_screen_run() {
    if (overlays.overlay_busy) {
        return;
    }
    overlays.overlay_busy = 1;
    const bool hashing = display_hashing_set(false);
    Bitmap* keys_picture = image_load(keys_picture_entry);
    overlays.key_taken_marker = image_load(key_taken_marker_entry);
    overlays.key_wait_marker = image_load(key_wait_marker_entry);
    const std::vector<uint16_t> saved = screen_save();
    bar_wipe();
    curtain_open(keys_picture, 80);
    // The keyboard's steering reads the keys afresh every frame, so a match in progress
    // steers with the new keys from its next frame on.
    const bool asked = keys_ask();
    fade_to_image(saved.data(), display.back_buffer);
    screen_restore(saved);
    image_release(keys_picture, keys_picture_entry);
    image_release(overlays.key_taken_marker, key_taken_marker_entry);
    image_release(overlays.key_wait_marker, key_wait_marker_entry);
    overlays.key_taken_marker = nullptr;
    overlays.key_wait_marker = nullptr;
    if (asked) {
        key_block_append(game_settings.settings_path.c_str());
    }
    overlays.overlay_busy = 0;
    display_present(display.back_buffer);
    display_hashing_set(hashing);
}
