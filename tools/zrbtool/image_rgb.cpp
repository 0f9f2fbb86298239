#include "image_rgb.h"

#include <bit>

namespace {

uint8_t channel_8bit(uint16_t pixel, uint32_t mask) {
    if (mask == 0) {
        return 0;
    }
    const int shift = std::countr_zero(mask);
    const int bits = std::popcount(mask);
    const uint32_t value = (pixel & mask) >> shift;
    const uint32_t max = bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1;
    return uint8_t(uint64_t(value) * 255 / max);
}

} // namespace

RgbCanvas image_entry_to_rgb(std::span<const uint8_t> entry, const ImageEntryHeader& header) {
    const bool masked = header.flags & image_flag_masked;
    const uint32_t red = masked ? header.red_mask : rgb555_red_mask;
    const uint32_t green = masked ? header.green_mask : rgb555_green_mask;
    const uint32_t blue = masked ? header.blue_mask : rgb555_blue_mask;
    RgbCanvas canvas = canvas_make(header.width, header.height, 0, 0, 0);
    size_t out = 0;
    for (uint32_t y = 0; y < header.height; ++y) {
        for (uint32_t x = 0; x < header.width; ++x) {
            const uint16_t pixel = image_entry_pixel(entry, header, x, y);
            canvas.rgb[out++] = channel_8bit(pixel, red);
            canvas.rgb[out++] = channel_8bit(pixel, green);
            canvas.rgb[out++] = channel_8bit(pixel, blue);
        }
    }
    return canvas;
}

RgbCanvas canvas_make(uint32_t width, uint32_t height, uint8_t r, uint8_t g, uint8_t b) {
    RgbCanvas canvas{width, height, std::vector<uint8_t>(size_t(width) * height * 3)};
    canvas_fill(&canvas, 0, 0, width, height, r, g, b);
    return canvas;
}

void canvas_paste(RgbCanvas* canvas, const RgbCanvas& picture, uint32_t x, uint32_t y) {
    for (uint32_t row = 0; row < picture.height && y + row < canvas->height; ++row) {
        for (uint32_t column = 0; column < picture.width && x + column < canvas->width; ++column) {
            const size_t from = (size_t(row) * picture.width + column) * 3;
            const size_t to = (size_t(y + row) * canvas->width + x + column) * 3;
            for (int c = 0; c < 3; ++c) {
                canvas->rgb[to + c] = picture.rgb[from + c];
            }
        }
    }
}

void canvas_fill(RgbCanvas* canvas, uint32_t x, uint32_t y, uint32_t width, uint32_t height,
                 uint8_t r, uint8_t g, uint8_t b) {
    for (uint32_t row = y; row < y + height && row < canvas->height; ++row) {
        for (uint32_t column = x; column < x + width && column < canvas->width; ++column) {
            const size_t at = (size_t(row) * canvas->width + column) * 3;
            canvas->rgb[at] = r;
            canvas->rgb[at + 1] = g;
            canvas->rgb[at + 2] = b;
        }
    }
}
