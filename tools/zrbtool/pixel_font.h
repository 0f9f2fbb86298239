#pragma once
// A 3 x 5 pixel font for the digits, enough to label pictures on a contact sheet.
#include <cstdint>

#include "image_rgb.h"

constexpr uint32_t font_digit_width = 3;
constexpr uint32_t font_digit_height = 5;

// Each digit takes (3 + 1) * scale columns; returns the width drawn.
uint32_t font_draw_number(RgbCanvas* canvas, uint32_t x, uint32_t y, uint32_t number,
                          uint32_t scale);
uint32_t font_number_width(uint32_t number, uint32_t scale);
