#include "resources/entry_format.h"

#include "resources/byte_order.h"

namespace {

// Where image_entry_encode puts the header; any position past the pointer itself serves.
constexpr uint32_t encoded_header_position = 0x40;

uint8_t text_key(size_t position) {
    return uint8_t(position * 3);
}

uint8_t text_decode_byte(uint8_t stored, size_t position) {
    const uint8_t k = text_key(position);
    return uint8_t((uint8_t(stored + k) ^ k) - 3);
}

uint8_t text_encode_byte(uint8_t text, size_t position) {
    const uint8_t k = text_key(position);
    return uint8_t((uint8_t(text + 3) ^ k) - k);
}

} // namespace

void text_decode_in_place(std::span<uint8_t> bytes) {
    for (size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = text_decode_byte(bytes[i], i);
    }
}

std::vector<uint8_t> text_encode(std::span<const uint8_t> text) {
    std::vector<uint8_t> stored(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        stored[i] = text_encode_byte(text[i], i);
    }
    return stored;
}

std::vector<uint8_t> text_decode(std::span<const uint8_t> stored) {
    std::vector<uint8_t> text(stored.begin(), stored.end());
    text_decode_in_place(text);
    return text;
}

bool image_entry_read_header(std::span<const uint8_t> entry, ImageEntryHeader* header) {
    if (entry.size() < image_header_position_at + 4) {
        return false;
    }
    const uint64_t at = u32_read(&entry[image_header_position_at]);
    if (at + image_header_length > entry.size()) {
        return false;
    }
    header->header_position = uint32_t(at);
    header->width = u16_read(&entry[at + 0x10]);
    header->height = u16_read(&entry[at + 0x12]);
    header->flags = entry[at + 0x1C];
    header->red_mask = u32_read(&entry[at + 0x20]);
    header->green_mask = u32_read(&entry[at + 0x24]);
    header->blue_mask = u32_read(&entry[at + 0x28]);
    const uint64_t pixel_bytes = uint64_t(header->width) * header->height * 2;
    if (at + image_header_length + pixel_bytes > entry.size()) {
        return false;
    }
    if ((header->flags & image_flag_masked) &&
        (!header->red_mask || !header->green_mask || !header->blue_mask)) {
        return false;
    }
    return true;
}

size_t image_entry_pixel_offset(const ImageEntryHeader& header) {
    return size_t(header.header_position) + image_header_length;
}

uint16_t image_entry_pixel(std::span<const uint8_t> entry, const ImageEntryHeader& header,
                           uint32_t x, uint32_t y) {
    return u16_read(&entry[image_entry_pixel_offset(header) + (size_t(y) * header.width + x) * 2]);
}

std::vector<uint8_t> image_entry_encode(uint16_t width, uint16_t height,
                                        std::span<const uint16_t> pixels, uint8_t flags,
                                        uint32_t red_mask, uint32_t green_mask,
                                        uint32_t blue_mask) {
    const size_t count = size_t(width) * height;
    const size_t at = encoded_header_position;
    std::vector<uint8_t> entry(at + image_header_length + count * 2, 0);
    u32_write(&entry[image_header_position_at], at);
    u16_write(&entry[at + 0x10], width);
    u16_write(&entry[at + 0x12], height);
    entry[at + 0x1C] = flags;
    u32_write(&entry[at + 0x20], red_mask);
    u32_write(&entry[at + 0x24], green_mask);
    u32_write(&entry[at + 0x28], blue_mask);
    for (size_t i = 0; i < count && i < pixels.size(); ++i) {
        u16_write(&entry[at + image_header_length + i * 2], pixels[i]);
    }
    return entry;
}
