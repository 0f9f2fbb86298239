#include "png_io.h"

#include <png.h>

bool png_read_rgb555(const std::string& path, Rgb555Picture* picture, std::string* error) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        *error = path + ": " + image.message;
        return false;
    }
    if (image.width == 0 || image.height == 0 || image.width > 0xFFFF || image.height > 0xFFFF) {
        png_image_free(&image);
        *error = path + ": " + std::to_string(image.width) + " x " + std::to_string(image.height) +
                 " is not a size an image entry can hold";
        return false;
    }
    image.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> rgba(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr)) {
        *error = path + ": " + image.message;
        png_image_free(&image);
        return false;
    }
    picture->width = uint16_t(image.width);
    picture->height = uint16_t(image.height);
    picture->pixels.resize(size_t(image.width) * image.height);
    for (size_t i = 0; i < picture->pixels.size(); ++i) {
        const uint8_t* p = &rgba[i * 4];
        picture->pixels[i] =
            p[3] < 128 ? 0 : uint16_t((p[0] >> 3) << 10 | (p[1] >> 3) << 5 | (p[2] >> 3));
    }
    return true;
}

bool png_write_rgb(const std::string& path, uint32_t width, uint32_t height,
                   const std::vector<uint8_t>& rgb, std::string* error) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = width;
    image.height = height;
    image.format = PNG_FORMAT_RGB;
    if (!png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr)) {
        *error = path + ": " + image.message;
        return false;
    }
    return true;
}
