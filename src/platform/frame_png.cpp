#include "platform/frame_png.h"

#include "platform/frame.h"
#include "platform/frame_convert.h"

#include <png.h>

#include <vector>

bool frame_write_png(const uint16_t* frame, const char* path, int scale) {
    if (frame == nullptr || path == nullptr || scale < 1) {
        return false;
    }
    const size_t width = size_t(frame_width) * scale;
    const size_t height = size_t(frame_height) * scale;
    std::vector<uint8_t> rgb(width * height * 3);
    for (size_t y = 0; y < height; y++) {
        for (size_t x = 0; x < width; x++) {
            const uint16_t pixel = frame[(y / scale) * frame_width + x / scale];
            uint8_t* out = &rgb[(y * width + x) * 3];
            out[0] = channel_5_to_8((pixel >> 10) & 31);
            out[1] = channel_5_to_8((pixel >> 5) & 31);
            out[2] = channel_5_to_8(pixel & 31);
        }
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    return png_image_write_to_file(&image, path, 0, rgb.data(), 0, nullptr) != 0;
}
