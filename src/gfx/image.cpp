#include "gfx/image.h"

#include "gfx/bitmap.h"
#include "resources/archive.h"

#include <bit>
#include <cstddef>

namespace {

constexpr uint32_t header_position_offset = 0x20;
constexpr uint32_t width_offset = 0x10;
constexpr uint32_t height_offset = 0x12;
constexpr uint32_t flags_offset = 0x1C;
constexpr uint32_t masks_offset = 0x20;
constexpr uint32_t pixels_offset = 0x40;
constexpr uint8_t flag_convert = 2;

uint32_t read_u32(const uint8_t* bytes) {
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

uint16_t read_u16(const uint8_t* bytes) {
    return static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
}

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

// Checks that the header and every pixel lie inside the entry; the entry may be hostile.
bool image_entry_valid(const uint8_t* data, uint64_t size) {
    if (size < header_position_offset + 4) {
        return false;
    }
    uint64_t header = read_u32(data + header_position_offset);
    if (header + pixels_offset > size) {
        return false;
    }
    const uint8_t* fields = data + header;
    uint64_t pixel_bytes = uint64_t{read_u16(fields + width_offset)} *
                           read_u16(fields + height_offset) * sizeof(uint16_t);
    if (header + pixels_offset + pixel_bytes > size) {
        return false;
    }
    // The pixels are used as 16-bit values in place, so they must start on an even address.
    if ((reinterpret_cast<uintptr_t>(data) + header) % alignof(uint16_t) != 0) {
        return false;
    }
    if ((fields[flags_offset] & flag_convert) != 0) {
        for (uint32_t channel = 0; channel < 3; channel++) {
            if (read_u32(fields + masks_offset + 4 * channel) == 0) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

Bitmap* image_load(int32_t index) {
    uint8_t* data = archive_load_entry(index);
    if (data == nullptr) {
        return nullptr;
    }
    int32_t size = archive_entry_size(index);
    if (size < 0 || !image_entry_valid(data, static_cast<uint64_t>(size))) {
        archive_release_entry(index);
        return nullptr;
    }
    uint8_t* fields = data + read_u32(data + header_position_offset);
    auto* pixels = reinterpret_cast<uint16_t*>(fields + pixels_offset);
    auto* image =
        new Bitmap{read_u16(fields + width_offset), read_u16(fields + height_offset), pixels, 0};
    if ((fields[flags_offset] & flag_convert) == 0) {
        return image;
    }
    uint32_t red = read_u32(fields + masks_offset);
    uint32_t green = read_u32(fields + masks_offset + 4);
    uint32_t blue = read_u32(fields + masks_offset + 8);
    uint32_t display_red = 0;
    uint32_t display_green = 0;
    uint32_t display_blue = 0;
    display_get_masks(&display_red, &display_green, &display_blue);
    if (red == display_red && green == display_green && blue == display_blue) {
        return image;
    }
    pixels_convert(pixels, size_t{image->width} * image->height, channel_layout(red, green, blue),
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
