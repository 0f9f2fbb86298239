#pragma once
// Converts the game's 320 x 200 RGB555 frames into the pixel format of the surface SDL gave us.
#include <cstdint>
#include <vector>

enum class FrameLayout {
    table,    // any surface: one look-up per pixel
    identity, // the surface is RGB555 itself: rows are copied as they are
    xrgb8888, // the usual 32-bit surface: computed, several pixels at a time
    rgb565,   // the usual 16-bit surface: computed
};

using FrameRowXrgb8888 = void (*)(const uint16_t* source, uint32_t* target, int width,
                                  uint32_t alpha);

struct FrameConverter {
    int bytes_per_pixel = 0; // of the surface: 1, 2, 3 or 4
    FrameLayout layout = FrameLayout::table;
    uint32_t alpha_mask = 0;
    // One entry per 16-bit value (bit 15 ignored). The computed layouts give the same values.
    std::vector<uint16_t> table16; // surfaces of 1 or 2 bytes per pixel
    std::vector<uint32_t> table32; // surfaces of 3 or 4 bytes per pixel
    FrameRowXrgb8888 row_xrgb8888 = nullptr;
};

constexpr int frame_table_size = 65536;

// A true-colour surface described by its channel masks.
void frame_converter_build(FrameConverter* converter, uint32_t red_mask, uint32_t green_mask,
                           uint32_t blue_mask, uint32_t alpha_mask, int bytes_per_pixel);
// Any surface, given the surface pixel of each RGB555 value (palettes included).
void frame_converter_build_from(FrameConverter* converter, int bytes_per_pixel,
                                uint32_t (*map_rgb)(void* context, uint8_t r, uint8_t g, uint8_t b),
                                void* context);
// Writes width x height pixels of a frame (row stride 320) into surface rows of pitch bytes.
void frame_convert(const FrameConverter& converter, const uint16_t* frame, int width, int height,
                   uint8_t* pixels, int pitch);
// The same rows through the table alone, whatever the layout (tests compare the two).
void frame_convert_by_table(const FrameConverter& converter, const uint16_t* frame, int width,
                            int height, uint8_t* pixels, int pitch);
// The 8-bit value of a 5-bit channel, as the converter uses it.
constexpr uint8_t channel_5_to_8(uint32_t value) {
    return static_cast<uint8_t>((value << 3) | (value >> 2));
}
struct FrameRowVariant {
    const char* name; // "plain", "sse2", "avx2"
    FrameRowXrgb8888 row;
};
// Every row code for XRGB8888 surfaces that this processor can run, the one chosen last.
std::vector<FrameRowVariant> frame_xrgb8888_variants();
// Name of the row code the converter chose for XRGB8888 surfaces.
const char* frame_converter_path(const FrameConverter& converter);
