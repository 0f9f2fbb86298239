#include "pixel_font.h"

#include <array>
#include <string>

namespace {

// Rows of three bits, top row first, the leftmost pixel in the highest bit.
constexpr std::array<std::array<uint8_t, 5>, 10> digit_rows = {{
    {7, 5, 5, 5, 7}, // 0
    {2, 6, 2, 2, 7}, // 1
    {7, 1, 7, 4, 7}, // 2
    {7, 1, 7, 1, 7}, // 3
    {5, 5, 7, 1, 1}, // 4
    {7, 4, 7, 1, 7}, // 5
    {7, 4, 7, 5, 7}, // 6
    {7, 1, 2, 2, 2}, // 7
    {7, 5, 7, 5, 7}, // 8
    {7, 5, 7, 1, 7}, // 9
}};

void draw_digit(RgbCanvas* canvas, uint32_t x, uint32_t y, int digit, uint32_t scale) {
    for (uint32_t row = 0; row < font_digit_height; ++row) {
        for (uint32_t column = 0; column < font_digit_width; ++column) {
            if (digit_rows[digit][row] & (4 >> column)) {
                canvas_fill(canvas, x + column * scale, y + row * scale, scale, scale, 255, 255,
                            255);
            }
        }
    }
}

} // namespace

uint32_t font_number_width(uint32_t number, uint32_t scale) {
    return uint32_t(std::to_string(number).size()) * (font_digit_width + 1) * scale;
}

uint32_t font_draw_number(RgbCanvas* canvas, uint32_t x, uint32_t y, uint32_t number,
                          uint32_t scale) {
    const std::string digits = std::to_string(number);
    for (size_t i = 0; i < digits.size(); ++i) {
        draw_digit(canvas, x + uint32_t(i) * (font_digit_width + 1) * scale, y, digits[i] - '0',
                   scale);
    }
    return font_number_width(number, scale);
}
