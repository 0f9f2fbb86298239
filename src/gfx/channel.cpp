#include "gfx/channel.h"

#include "gfx/display.h"

namespace {

uint16_t channel_dimmed(uint16_t pixel, uint16_t mask, uint16_t shift, int amount) {
    int value = (pixel & mask) >> shift;
    if (value <= amount) {
        return 0;
    }
    return static_cast<uint16_t>(((value - amount) << shift) & mask);
}

} // namespace

uint16_t pixel_red_dimmed(const uint16_t* buffer, int index, int amount) {
    return channel_dimmed(buffer[index], display.pixel_format.red_mask,
                          display.pixel_format.red_shift, amount);
}

uint16_t pixel_green_dimmed(const uint16_t* buffer, int index, int amount) {
    return channel_dimmed(buffer[index], display.pixel_format.green_mask,
                          display.pixel_format.green_shift, amount);
}

uint16_t pixel_blue_dimmed(const uint16_t* buffer, int index, int amount) {
    return channel_dimmed(buffer[index], display.pixel_format.blue_mask,
                          display.pixel_format.blue_shift, amount);
}

void pixel_put_red(uint16_t* buffer, int index, uint16_t value) {
    buffer[index] = static_cast<uint16_t>(
        (buffer[index] & (display.pixel_format.green_mask | display.pixel_format.blue_mask)) |
        value);
}

void pixel_put_green(uint16_t* buffer, int index, uint16_t value) {
    buffer[index] = static_cast<uint16_t>(
        (buffer[index] & (display.pixel_format.red_mask | display.pixel_format.blue_mask)) | value);
}

void pixel_put_blue(uint16_t* buffer, int index, uint16_t value) {
    buffer[index] = static_cast<uint16_t>(
        (buffer[index] & (display.pixel_format.red_mask | display.pixel_format.green_mask)) |
        value);
}
