#include "gfx/display.h"

#include "gfx/bitmap.h"
#include "gfx/image.h"
#include "platform/fnv.h"
#include "platform/platform.h"
#include "platform/system.h"
#include "settings/game_settings.h"

#include <bit>
#include <cstring>

Display display;

namespace {

constexpr int32_t window_icon_entry = 32;

uint16_t mask_shift(uint16_t mask) {
    return mask == 0 ? 0 : static_cast<uint16_t>(std::countr_zero(mask));
}

} // namespace

int display_open(int32_t width, int32_t height, int32_t bits, int32_t fullscreen) {
    VideoMode mode{"Zorbit (SDL)",
                   width,
                   height,
                   bits,
                   fullscreen == 1,
                   game_settings.video_scale,
                   game_settings.refresh_rate};
    // The window's icon comes from the archive when it holds one.
    Bitmap* icon = image_load(window_icon_entry);
    if (icon != nullptr) {
        mode.icon = icon->pixels;
        mode.icon_width = icon->width;
        mode.icon_height = icon->height;
    }
    const char* failure = video_open(mode);
    image_release(icon, window_icon_entry);
    if (failure != nullptr) {
        fatal_error(1, "%s", failure);
    }
    return 1;
}

void display_close() {
    video_close();
}

int display_set_target(uint16_t* buffer) {
    if (buffer == nullptr) {
        return 0;
    }
    display.draw_target = buffer;
    return 1;
}

int display_clear(uint16_t* buffer) {
    if (buffer == nullptr) {
        return 0;
    }
    // Buffers hold 16-bit pixels whatever depth was asked for: clearing more would overrun them.
    std::memset(buffer, 0, frame_pixels * sizeof(uint16_t));
    return 1;
}

int display_present(const uint16_t* buffer) {
    if (buffer == nullptr) {
        return 0;
    }
    if (display.hashing && display.hash_sink != nullptr) {
        display.hash_sink(display.hash_context, frame_hash(buffer));
    }
    video_present(buffer);
    return 1;
}

void pixel_format_init() {
    uint32_t red = 0;
    uint32_t green = 0;
    uint32_t blue = 0;
    display_get_masks(&red, &green, &blue);
    PixelFormat format{};
    format.red_mask = static_cast<uint16_t>(red);
    format.green_mask = static_cast<uint16_t>(green);
    format.blue_mask = static_cast<uint16_t>(blue);
    debug_log("RMask %04X, BMask %04X, GMask %04X\n", format.red_mask, format.blue_mask,
              format.green_mask);
    format.red_shift = mask_shift(format.red_mask);
    format.green_shift = mask_shift(format.green_mask);
    format.blue_shift = mask_shift(format.blue_mask);
    format.red_max = static_cast<uint16_t>(format.red_mask >> format.red_shift);
    format.green_max = static_cast<uint16_t>(format.green_mask >> format.green_shift);
    format.blue_max = static_cast<uint16_t>(format.blue_mask >> format.blue_shift);
    format.green_bits = static_cast<uint16_t>(std::popcount(format.green_mask));
    display.pixel_format = format;
}

void display_back_buffer_make() {
    display.back_buffer_storage.assign(frame_pixels, 0);
    display.back_buffer = display.back_buffer_storage.data();
    display_set_target(display.back_buffer);
}

void display_back_buffer_free() {
    if (display.draw_target == display.back_buffer) {
        display.draw_target = nullptr;
    }
    display.back_buffer = nullptr;
    std::vector<uint16_t>().swap(display.back_buffer_storage);
}

bool display_hashing_set(bool on) {
    const bool was = display.hashing;
    display.hashing = on;
    return was;
}

void display_hash_sink_set(FrameHashSink sink, void* context) {
    display.hash_sink = sink;
    display.hash_context = context;
}

uint64_t frame_hash(const uint16_t* frame) {
    uint64_t hash = fnv_offset;
    for (int32_t i = 0; i < frame_pixels; i++) {
        hash = fnv_step(hash, static_cast<uint8_t>(frame[i]));
        hash = fnv_step(hash, static_cast<uint8_t>(frame[i] >> 8));
    }
    return hash;
}
