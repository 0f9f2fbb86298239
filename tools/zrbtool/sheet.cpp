#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "entry_kinds.h"
#include "image_rgb.h"
#include "pixel_font.h"
#include "png_io.h"
#include "resources/archive.h"
#include "tool_io.h"
#include "verbs.h"

const char* const sheet_usage =
    "usage: zrbtool sheet ARCHIVE OUT.png\n"
    "\n"
    "Draws every picture entry of ARCHIVE at its own size on one PNG contact sheet, each\n"
    "labelled with its entry index and framed so that black edges stay visible. Entries that\n"
    "are not well-formed pictures are left out and named on stderr.\n";

namespace {

constexpr uint32_t margin = 8;
constexpr uint32_t label_scale = 2;
constexpr uint32_t label_height = 5 * label_scale + 3;
// Room for two full-screen pictures side by side.
constexpr uint32_t min_sheet_width = 2 * (320 + 2) + 3 * margin;

struct Tile {
    int32_t index;
    RgbCanvas picture;
    uint32_t x;
    uint32_t y;
};

std::vector<Tile> load_tiles() {
    std::vector<Tile> tiles;
    for (int32_t index = 0; index < archive_entry_count(); ++index) {
        if (entry_kind_of(index, *archive_entry_record(index)) != EntryTag::image) {
            continue;
        }
        std::span<const uint8_t> bytes;
        ImageEntryHeader header{};
        if (!tool_load_entry(index, &bytes)) {
            std::fprintf(stderr, "zrbtool: entry %d cannot be loaded, left out\n", index);
            continue;
        }
        if (image_entry_read_header(bytes, &header) && header.width && header.height) {
            tiles.push_back({index, image_entry_to_rgb(bytes, header), 0, 0});
        } else {
            std::fprintf(stderr, "zrbtool: entry %d is not a well-formed picture, left out\n",
                         index);
        }
        archive_release_entry(index);
    }
    return tiles;
}

// Places tiles left to right in rows; returns the sheet's size.
void lay_out(std::vector<Tile>* tiles, uint32_t* width, uint32_t* height) {
    uint32_t widest = 0;
    for (const Tile& tile : *tiles) {
        widest = std::max(widest, tile.picture.width + 2);
    }
    *width = std::max(min_sheet_width, widest + 2 * margin);
    uint32_t x = margin, y = margin, row_height = 0;
    for (Tile& tile : *tiles) {
        const uint32_t cell_width =
            std::max(tile.picture.width + 2, font_number_width(uint32_t(tile.index), label_scale));
        if (x > margin && x + cell_width + margin > *width) {
            x = margin;
            y += row_height + margin;
            row_height = 0;
        }
        tile.x = x;
        tile.y = y;
        x += cell_width + margin;
        row_height = std::max(row_height, label_height + tile.picture.height + 2);
    }
    *height = y + row_height + margin;
}

} // namespace

int sheet_command(int argc, char** argv) {
    if (wants_help(argc, argv)) {
        std::fputs(sheet_usage, stdout);
        return 0;
    }
    if (argc != 2) {
        return tool_fail(std::string("sheet needs ARCHIVE and OUT.png\n\n") + sheet_usage);
    }
    if (!tool_open_archive(argv[0])) {
        return 1;
    }
    std::vector<Tile> tiles = load_tiles();
    archive_close();
    if (tiles.empty()) {
        return tool_fail(std::string(argv[0]) + " holds no pictures");
    }
    uint32_t width = 0, height = 0;
    lay_out(&tiles, &width, &height);
    RgbCanvas sheet = canvas_make(width, height, 40, 44, 56);
    for (const Tile& tile : tiles) {
        font_draw_number(&sheet, tile.x, tile.y, uint32_t(tile.index), label_scale);
        const uint32_t top = tile.y + label_height;
        canvas_fill(&sheet, tile.x, top, tile.picture.width + 2, tile.picture.height + 2, 255, 0,
                    255);
        canvas_paste(&sheet, tile.picture, tile.x + 1, top + 1);
    }
    std::string error;
    if (!png_write_rgb(argv[1], width, height, sheet.rgb, &error)) {
        return tool_fail(error);
    }
    std::printf("zrbtool: %zu pictures on %s (%u x %u)\n", tiles.size(), argv[1], width, height);
    return 0;
}
