#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "entry_kinds.h"
#include "image_rgb.h"
#include "png_io.h"
#include "resources/archive.h"
#include "resources/entry_format.h"
#include "tool_io.h"
#include "verbs.h"

const char* const extract_usage =
    "usage: zrbtool extract ARCHIVE INDEX OUT [--bytes]\n"
    "\n"
    "Writes entry INDEX of ARCHIVE to OUT: pictures as PNG, texts decoded to what the game\n"
    "writes out, anything else as its bytes. With --bytes every entry is written exactly as\n"
    "the game loads it (texts still scrambled, pictures in their entry layout).\n";

namespace {

int write_picture(std::span<const uint8_t> bytes, int32_t index, const std::string& out) {
    ImageEntryHeader header{};
    if (!image_entry_read_header(bytes, &header)) {
        return tool_fail("entry " + std::to_string(index) +
                         " is not a well-formed picture; --bytes writes it as it is");
    }
    if (header.width == 0 || header.height == 0) {
        return tool_fail("entry " + std::to_string(index) + " is an empty picture (" +
                         std::to_string(header.width) + " x " + std::to_string(header.height) +
                         ")");
    }
    const RgbCanvas picture = image_entry_to_rgb(bytes, header);
    std::string error;
    if (!png_write_rgb(out, picture.width, picture.height, picture.rgb, &error)) {
        return tool_fail(error);
    }
    return 0;
}

int write_entry(int32_t index, bool as_bytes, const std::string& out) {
    std::span<const uint8_t> bytes;
    if (!tool_load_entry(index, &bytes)) {
        return tool_fail("entry " + std::to_string(index) + " cannot be loaded");
    }
    const EntryTag kind = entry_kind_of(index, *archive_entry_record(index));
    int status = 0;
    if (!as_bytes && kind == EntryTag::image) {
        status = write_picture(bytes, index, out);
    } else {
        std::vector<uint8_t> contents(bytes.begin(), bytes.end());
        if (!as_bytes && kind == EntryTag::text) {
            text_decode_in_place(contents);
        }
        if (!file_write(out, contents)) {
            status = tool_fail("cannot write " + out);
        }
    }
    archive_release_entry(index);
    return status;
}

} // namespace

int extract_command(int argc, char** argv) {
    if (wants_help(argc, argv)) {
        std::fputs(extract_usage, stdout);
        return 0;
    }
    std::vector<const char*> positional;
    bool as_bytes = false;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--bytes") == 0) {
            as_bytes = true;
        } else {
            positional.push_back(argv[i]);
        }
    }
    if (positional.size() != 3) {
        return tool_fail(std::string("extract needs ARCHIVE, INDEX and OUT\n\n") + extract_usage);
    }
    int32_t index = 0;
    if (!parse_entry_index(positional[1], &index)) {
        return tool_fail(std::string("\"") + positional[1] + "\" is not an entry index");
    }
    if (!tool_open_archive(positional[0])) {
        return 1;
    }
    if (index >= archive_entry_count()) {
        const int32_t count = archive_entry_count();
        archive_close();
        return tool_fail("entry " + std::to_string(index) + " is not in the archive (it has " +
                         std::to_string(count) + " entries)");
    }
    const int status = write_entry(index, as_bytes, positional[2]);
    archive_close();
    return status;
}
