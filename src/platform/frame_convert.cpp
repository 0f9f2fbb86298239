#include "platform/frame_convert.h"

#include "platform/video.h"

#include <bit>
#include <cstddef>
#include <cstring>

namespace {

// Spreads a 5-bit channel value over a mask of any width: the 8-bit value cut to narrow masks,
// a rounded scaling for wider ones.
uint32_t channel_place(uint32_t value5, uint32_t mask) {
    if (mask == 0) {
        return 0;
    }
    int shift = std::countr_zero(mask);
    uint32_t maximum = mask >> shift;
    int width = std::popcount(maximum);
    uint64_t scaled = width <= 8 ? channel_5_to_8(value5) >> (8 - width)
                                 : (static_cast<uint64_t>(value5) * maximum + 15) / 31;
    return static_cast<uint32_t>(scaled << shift) & mask;
}

void converter_reset(FrameConverter* converter, int bytes_per_pixel) {
    converter->bytes_per_pixel = bytes_per_pixel;
    converter->identity = false;
    converter->table16.clear();
    converter->table32.clear();
    if (bytes_per_pixel <= 2) {
        converter->table16.resize(frame_table_size);
    } else {
        converter->table32.resize(frame_table_size);
    }
}

void converter_set(FrameConverter* converter, uint32_t index, uint32_t value) {
    if (converter->bytes_per_pixel <= 2) {
        converter->table16[index] = static_cast<uint16_t>(value);
    } else {
        converter->table32[index] = value;
    }
}

void row_convert_16(const uint16_t* table, const uint16_t* source, int width, uint8_t* row) {
    auto* target = reinterpret_cast<uint16_t*>(row);
    for (int x = 0; x < width; x++) {
        target[x] = table[source[x]];
    }
}

void row_convert_32(const uint32_t* table, const uint16_t* source, int width, uint8_t* row) {
    auto* target = reinterpret_cast<uint32_t*>(row);
    for (int x = 0; x < width; x++) {
        target[x] = table[source[x]];
    }
}

void row_convert_24(const uint32_t* table, const uint16_t* source, int width, uint8_t* row) {
    for (int x = 0; x < width; x++) {
        uint32_t value = table[source[x]];
        row[3 * x] = static_cast<uint8_t>(value);
        row[3 * x + 1] = static_cast<uint8_t>(value >> 8);
        row[3 * x + 2] = static_cast<uint8_t>(value >> 16);
    }
}

void row_convert_8(const uint16_t* table, const uint16_t* source, int width, uint8_t* row) {
    for (int x = 0; x < width; x++) {
        row[x] = static_cast<uint8_t>(table[source[x]]);
    }
}

} // namespace

void frame_converter_build(FrameConverter* converter, uint32_t red_mask, uint32_t green_mask,
                           uint32_t blue_mask, uint32_t alpha_mask, int bytes_per_pixel) {
    converter_reset(converter, bytes_per_pixel);
    for (uint32_t index = 0; index < frame_table_size; index++) {
        uint32_t value = channel_place((index >> 10) & 31, red_mask) |
                         channel_place((index >> 5) & 31, green_mask) |
                         channel_place(index & 31, blue_mask) | alpha_mask;
        converter_set(converter, index, value);
    }
    converter->identity =
        bytes_per_pixel == 2 && red_mask == 0x7C00 && green_mask == 0x03E0 && blue_mask == 0x001F;
}

void frame_converter_build_from(FrameConverter* converter, int bytes_per_pixel,
                                uint32_t (*map_rgb)(void* context, uint8_t r, uint8_t g, uint8_t b),
                                void* context) {
    converter_reset(converter, bytes_per_pixel);
    for (uint32_t index = 0; index < 32768; index++) {
        uint32_t value = map_rgb(context, channel_5_to_8((index >> 10) & 31),
                                 channel_5_to_8((index >> 5) & 31), channel_5_to_8(index & 31));
        converter_set(converter, index, value);
        converter_set(converter, index | 0x8000, value);
    }
}

void frame_convert(const FrameConverter& converter, const uint16_t* frame, int width, int height,
                   uint8_t* pixels, int pitch) {
    if (width > video_frame_width) {
        width = video_frame_width;
    }
    if (height > video_frame_height) {
        height = video_frame_height;
    }
    for (int y = 0; y < height; y++) {
        const uint16_t* source = frame + y * video_frame_width;
        uint8_t* row = pixels + static_cast<ptrdiff_t>(y) * pitch;
        if (converter.identity) {
            std::memcpy(row, source, static_cast<size_t>(width) * 2);
            continue;
        }
        switch (converter.bytes_per_pixel) {
        case 4:
            row_convert_32(converter.table32.data(), source, width, row);
            break;
        case 3:
            row_convert_24(converter.table32.data(), source, width, row);
            break;
        case 2:
            row_convert_16(converter.table16.data(), source, width, row);
            break;
        default:
            row_convert_8(converter.table16.data(), source, width, row);
            break;
        }
    }
}
