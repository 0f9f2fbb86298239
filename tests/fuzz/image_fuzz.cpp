// Loads fuzzed bytes as an archive's picture entry. The decoder must take exactly the entries
// whose header and pixels lie inside, as read here on their own, and give a bitmap of the
// header's size over the entry's own pixels, in the display's format.
#include <cstdint>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_file.h"
#include "gfx/bitmap.h"
#include "gfx/image.h"
#include "resources/archive.h"
#include "resources/archive_writer.h"

namespace {

// What the entry's header says, read byte by byte.
struct FuzzHeader {
    bool valid = false;
    uint64_t pixel_offset = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    bool converted = false;
};

uint32_t fuzz_le(const uint8_t* bytes, int count) {
    uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) {
        value = value * 256 + bytes[i];
    }
    return value;
}

FuzzHeader fuzz_header(const uint8_t* data, size_t size) {
    FuzzHeader header;
    if (size < 36) {
        return header;
    }
    const uint64_t at = fuzz_le(data + 32, 4);
    if (at + 64 > size) {
        return header;
    }
    header.pixel_offset = at + 64;
    header.width = fuzz_le(data + at + 16, 2);
    header.height = fuzz_le(data + at + 18, 2);
    const bool masked = (data[at + 28] & 2) != 0;
    const uint32_t red = fuzz_le(data + at + 32, 4);
    const uint32_t green = fuzz_le(data + at + 36, 4);
    const uint32_t blue = fuzz_le(data + at + 40, 4);
    const bool placeable = red != 0 && green != 0 && blue != 0;
    // The pixels are used in place as 16-bit values, and entries start where malloc puts them.
    const bool aligned = at % 2 == 0;
    header.valid = header.pixel_offset + uint64_t(header.width) * header.height * 2 <= size &&
                   (!masked || placeable) && aligned;
    header.converted = masked && (red != 0x7C00 || green != 0x03E0 || blue != 0x001F);
    return header;
}

void fuzz_check_pixels(const Bitmap* image, const FuzzHeader& header, const uint8_t* data) {
    const uint8_t* stored = data + header.pixel_offset;
    for (uint32_t i = 0; i < header.width * header.height; ++i) {
        const uint16_t pixel = image->pixels[i];
        if (header.converted) {
            fuzz_require(pixel < 0x8000, "converted pixel outside RGB555");
        } else {
            fuzz_require(pixel == fuzz_le(stored + 2 * i, 2), "pixel changed without conversion");
        }
    }
}

void fuzz_check_image(const Bitmap* image, const FuzzHeader& header, const uint8_t* data) {
    fuzz_require(header.valid, "a damaged entry loaded");
    fuzz_require(image->width == header.width && image->height == header.height,
                 "size differs from the header");
    fuzz_require(image->capacity == 0, "pixels not borrowed from the entry");
    fuzz_require(bitmap_rows_readable(image) == image->height, "rows not all readable");
    const uint8_t* entry = archive_load_entry(0);
    const auto* pixels = reinterpret_cast<const uint8_t*>(image->pixels);
    fuzz_require(entry != nullptr && pixels == entry + header.pixel_offset,
                 "pixels not where the header puts them");
    archive_release_entry(0);
    fuzz_check_pixels(image, header, data);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ArchiveSource source;
    source.contents.assign(data, data + size);
    std::vector<uint8_t> archive_bytes;
    if (!archive_build({&source, 1}, false, &archive_bytes)) {
        return 0;
    }
    const char* path = fuzz_file_write(archive_bytes.data(), archive_bytes.size());
    fuzz_require(path != nullptr && archive_open(path) == 1, "archive does not open");
    const FuzzHeader header = fuzz_header(data, size);
    Bitmap* image = image_load(0);
    if (image != nullptr) {
        fuzz_check_image(image, header, data);
    } else {
        fuzz_require(!header.valid, "a well-formed entry did not load");
    }
    image_release(image, 0);
    fuzz_require(archive_entry_record(0)->data == nullptr, "entry still held after release");
    archive_close();
    return 0;
}
