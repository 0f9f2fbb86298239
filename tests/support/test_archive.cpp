#include "support/test_archive.h"

#include <png.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "resources/archive.h"
#include "resources/entry_format.h"

TestEntry test_entry(std::vector<uint8_t> contents) {
    TestEntry entry;
    entry.contents = std::move(contents);
    return entry;
}

TestEntry test_external_entry(const std::string& path, uint32_t recorded_size) {
    TestEntry entry;
    entry.external = true;
    entry.external_path = path;
    entry.recorded_size = recorded_size;
    return entry;
}

std::vector<uint8_t> test_archive_bytes(const std::vector<TestEntry>& entries, bool packed) {
    std::vector<uint8_t> bytes;
    archive_build(entries, packed, &bytes);
    return bytes;
}

bool test_write_file(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(out);
}

std::vector<uint8_t> test_read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string test_read_text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string test_temp_path(std::string_view stem) {
    static std::atomic<int> counter{0};
    const auto name = "zorbit-" + std::to_string(getpid()) + "-" + std::to_string(counter++) + "-" +
                      std::string(stem);
    return (std::filesystem::temp_directory_path() / name).string();
}

bool test_archive_open_bytes(const std::vector<uint8_t>& bytes) {
    const std::string path = test_temp_path("archive.res");
    if (!test_write_file(path, bytes)) {
        return false;
    }
    const int opened = archive_open(path.c_str());
    std::remove(path.c_str());
    return opened == 1;
}

bool test_archive_open(const std::vector<TestEntry>& entries, bool packed) {
    return test_archive_open_bytes(test_archive_bytes(entries, packed));
}

std::vector<uint8_t> test_image_entry(uint16_t width, uint16_t height,
                                      const std::vector<uint16_t>& pixels, uint8_t flags,
                                      uint32_t red_mask, uint32_t green_mask, uint32_t blue_mask) {
    return image_entry_encode(width, height, pixels, flags, red_mask, green_mask, blue_mask);
}

std::vector<uint8_t> test_text_entry(std::string_view text) {
    return text_encode({reinterpret_cast<const uint8_t*>(text.data()), text.size()});
}

std::vector<uint8_t> test_png_read(const std::string& path, uint32_t* width, uint32_t* height) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        return {};
    }
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
    *width = image.width;
    *height = image.height;
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) {
        return {};
    }
    return rgb;
}

bool test_png_write(const std::string& path, uint32_t width, uint32_t height,
                    const std::vector<uint8_t>& rgba) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = width;
    image.height = height;
    image.format = PNG_FORMAT_RGBA;
    return png_image_write_to_file(&image, path.c_str(), 0, rgba.data(), 0, nullptr) != 0;
}
