#include "gfx/text.h"

#include "gfx/bitmap.h"
#include "gfx/display.h"
#include "gfx/pictures.h"

#include <cctype>
#include <cstring>

namespace {

constexpr int32_t cell_width = 6;
constexpr int32_t cell_height = 8;
constexpr int32_t first_char = 32;
constexpr int32_t char_count = 64;

int32_t cell_of(char c) {
    const int32_t upper = std::toupper(static_cast<unsigned char>(c));
    return upper >= first_char && upper < first_char + char_count ? upper - first_char
                                                                  : '?' - first_char;
}

void glyph_draw(const Bitmap* font, int32_t cell, int32_t x, int32_t y) {
    for (int32_t row = 0; row < cell_height && row < font->height; ++row) {
        for (int32_t col = 0; col < cell_width; ++col) {
            const int32_t fx = cell * cell_width + col;
            const int32_t sx = x + col;
            const int32_t sy = y + row;
            if (fx >= font->width || sx < 0 || sy < 0 || sx >= frame_width || sy >= frame_height) {
                continue;
            }
            const uint16_t pixel = font->pixels[row * font->width + fx];
            if (pixel != 0) {
                display.draw_target[sy * frame_width + sx] = pixel;
            }
        }
    }
}

} // namespace

int32_t text_width(const char* text) {
    return static_cast<int32_t>(std::strlen(text)) * cell_width;
}

void text_draw(const char* text, int32_t x, int32_t y) {
    const Bitmap* font = pictures.small_font;
    if (font == nullptr || font->pixels == nullptr || display.draw_target == nullptr) {
        return;
    }
    for (const char* c = text; *c != '\0'; ++c, x += cell_width) {
        glyph_draw(font, cell_of(*c), x, y);
    }
}

void text_draw_centred(const char* text, int32_t y) {
    text_draw(text, (frame_width - text_width(text)) / 2, y);
}
