#include "gfx/image.h"

#include "gfx/bitmap.h"
#include "resources/archive.h"
#include "resources/entry_format.h"

#include <bit>
#include <cstddef>
#include <span>

namespace {

struct ChannelLayout {
    uint32_t red_mask, green_mask, blue_mask;
    int red_shift, green_shift, blue_shift;
    int green_bits;
};

ChannelLayout channel_layout(uint32_t red, uint32_t green, uint32_t blue) {
    return ChannelLayout{red,
                         green,
                         blue,
                         std::countr_zero(red),
                         std::countr_zero(green),
                         std::countr_zero(blue),
                         std::popcount(green)};
}

// Only green is rescaled; red and blue move to their new place as they are.
void pixels_convert(uint16_t* pixels, size_t count, const ChannelLayout& stored,
                    const ChannelLayout& display) {
    const int green_difference = stored.green_bits - display.green_bits;
    for (size_t i = 0; i < count; i++) {
        uint32_t pixel = pixels[i];
        uint32_t red = (pixel & stored.red_mask) >> stored.red_shift;
        uint32_t green = (pixel & stored.green_mask) >> stored.green_shift;
        if (green_difference > 0) {
            green >>= green_difference;
        } else if (green_difference < 0) {
            green <<= -green_difference;
        }
        uint32_t blue = (pixel & stored.blue_mask) >> stored.blue_shift;
        pixels[i] = static_cast<uint16_t>(((blue << display.blue_shift) & display.blue_mask) |
                                          ((green << display.green_shift) & display.green_mask) |
                                          ((red << display.red_shift) & display.red_mask));
    }
}

} // namespace

Bitmap* image_load(int32_t index) {
    uint8_t* data = archive_load_entry(index);
    if (data == nullptr) {
        return nullptr;
    }
    // The entry may be damaged or hostile: the header and every pixel must lie inside it, and
    // the pixels are used in place as 16-bit values, so they must start on an even address.
    int32_t size = archive_entry_size(index);
    ImageEntryHeader header{};
    if (size < 0 ||
        !image_entry_read_header(std::span<const uint8_t>(data, static_cast<size_t>(size)),
                                 &header) ||
        (reinterpret_cast<uintptr_t>(data) + image_entry_pixel_offset(header)) %
                alignof(uint16_t) !=
            0) {
        archive_release_entry(index);
        return nullptr;
    }
    auto* pixels = reinterpret_cast<uint16_t*>(data + image_entry_pixel_offset(header));
    auto* image = new Bitmap{header.width, header.height, pixels, 0};
    if ((header.flags & image_flag_masked) == 0) {
        return image;
    }
    uint32_t display_red = 0;
    uint32_t display_green = 0;
    uint32_t display_blue = 0;
    display_get_masks(&display_red, &display_green, &display_blue);
    if (header.red_mask == display_red && header.green_mask == display_green &&
        header.blue_mask == display_blue) {
        return image;
    }
    pixels_convert(pixels, size_t{image->width} * image->height,
                   channel_layout(header.red_mask, header.green_mask, header.blue_mask),
                   channel_layout(display_red, display_green, display_blue));
    return image;
}

void image_release(Bitmap* image, int32_t index) {
    if (image == nullptr) {
        return;
    }
    delete image;
    archive_release_entry(index);
}
