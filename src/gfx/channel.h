#pragma once
// One colour channel of one pixel: read lowered by an amount, or replace it.
#include <cstdint>

uint16_t pixel_red_dimmed(const uint16_t* buffer, int index, int amount);
uint16_t pixel_green_dimmed(const uint16_t* buffer, int index, int amount);
uint16_t pixel_blue_dimmed(const uint16_t* buffer, int index, int amount);
void pixel_put_red(uint16_t* buffer, int index, uint16_t value);
void pixel_put_green(uint16_t* buffer, int index, uint16_t value);
void pixel_put_blue(uint16_t* buffer, int index, uint16_t value);
