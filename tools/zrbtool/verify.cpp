#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include <libopenmpt/libopenmpt.h>

#include "entry_kinds.h"
#include "resources/archive.h"
#include "resources/entry_format.h"
#include "tool_io.h"
#include "verbs.h"

const char* const verify_usage =
    "usage: zrbtool verify ARCHIVE\n"
    "\n"
    "Checks everything the game relies on: at least 31 entries, all loadable; texts 0 and 1\n"
    "decode to text; the module (2) loads in libopenmpt; the effects (3 to 5) are not empty;\n"
    "every picture (7 to 30, and the small font 31 and the window icon 32 when present) is well\n"
    "formed, has the size its screen needs, and stays on the 320 x 200 screen wherever the game\n"
    "zooms it in. Prints one line per problem; warnings\n"
    "do not fail. Exit status 0 when no error was found, 1 otherwise. External entries are\n"
    "looked up from the working folder, as the game does.\n";

namespace {

constexpr int32_t required_entries = 31;
// The small font (31) and the window icon (32): used when there, not missed when not.
constexpr int32_t optional_first = 31;
constexpr int32_t optional_count = 2;
constexpr int screen_width = 320;
constexpr int screen_height = 200;

struct Report {
    int errors = 0;
    int warnings = 0;
};

void report_error(Report* report, int32_t index, const std::string& message) {
    std::printf("error: entry %d: %s\n", index, message.c_str());
    ++report->errors;
}

void report_warning(Report* report, int32_t index, const std::string& message) {
    std::printf("warning: entry %d: %s\n", index, message.c_str());
    ++report->warnings;
}

std::string size_text(const ImageEntryHeader& header) {
    return std::to_string(header.width) + " x " + std::to_string(header.height);
}

// Control characters other than tab, line ends and the old end-of-file mark mean the entry
// was not stored in the scrambled form.
void check_text(Report* report, int32_t index, std::span<const uint8_t> stored) {
    const auto text = text_decode(stored);
    for (size_t i = 0; i < text.size(); ++i) {
        const uint8_t c = text[i];
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != 0x1A) {
            char message[96];
            std::snprintf(message, sizeof message,
                          "does not decode to text (byte 0x%02X at position %zu)", c, i);
            report_error(report, index, message);
            return;
        }
    }
}

void check_module(Report* report, int32_t index, std::span<const uint8_t> bytes) {
    int error = 0;
    const char* message = nullptr;
    openmpt_module* module = openmpt_module_create_from_memory2(
        bytes.data(), bytes.size(), openmpt_log_func_silent, nullptr, openmpt_error_func_ignore,
        nullptr, &error, &message, nullptr);
    if (!module) {
        report_error(report, index,
                     std::string("libopenmpt cannot load the module") +
                         (message ? std::string(": ") + message : std::string()));
    } else {
        openmpt_module_destroy(module);
    }
    openmpt_free_string(message);
}

void check_picture(Report* report, int32_t index, std::span<const uint8_t> bytes,
                   std::map<int32_t, ImageEntryHeader>* pictures) {
    ImageEntryHeader header{};
    if (!image_entry_read_header(bytes, &header)) {
        report_error(report, index,
                     "malformed picture (header or pixels outside the entry, or a zero mask)");
        return;
    }
    if (header.width == 0 || header.height == 0) {
        report_error(report, index, "empty picture (" + size_text(header) + ")");
        return;
    }
    (*pictures)[index] = header;
}

// Loads every entry once and checks what each holds; pictures are kept for the size checks.
void check_contents(Report* report, std::map<int32_t, ImageEntryHeader>* pictures) {
    const int32_t count = archive_entry_count();
    for (int32_t index = 0; index < count; ++index) {
        const EntryTag role = entry_role(index);
        std::span<const uint8_t> bytes;
        if (!tool_load_entry(index, &bytes)) {
            if (index < required_entries && index != 6) {
                report_error(report, index, "cannot be loaded");
            } else {
                report_warning(report, index,
                               index == 6 || index >= optional_first + optional_count
                                   ? "cannot be loaded (the game does not use it)"
                                   : "cannot be loaded (the game plays on without it)");
            }
            continue;
        }
        if (role == EntryTag::text) {
            check_text(report, index, bytes);
        } else if (index == 2) {
            check_module(report, index, bytes);
        } else if (role == EntryTag::pcm && bytes.empty()) {
            report_error(report, index, "the sound effect is empty");
        } else if (role == EntryTag::image) {
            check_picture(report, index, bytes, pictures);
        }
        archive_release_entry(index);
    }
}

struct SizeRule {
    int32_t index;
    const char* role;
    int width;
    int height;
    bool height_at_least;
};

constexpr SizeRule size_rules[] = {
    {11, "title picture", 320, 200, false},
    {12, "title panels", 320, 475, true},
    {10, "information picture", 320, 181, true},
    {18, "key picture", 320, 159, true},
    {13, "pitch", 320, 200, false},
    {22, "score marks", 10, 240, true},
    {21, "clock bar", 101, 8, true},
    {24, "first goal animation strip", 43, 962, true},
    {23, "second goal animation strip", 31, 962, true},
    {31, "small font", 384, 8, true},
};

void check_sizes(Report* report, const std::map<int32_t, ImageEntryHeader>& pictures) {
    for (const SizeRule& rule : size_rules) {
        const auto found = pictures.find(rule.index);
        if (found == pictures.end()) {
            continue;
        }
        const ImageEntryHeader& header = found->second;
        const bool height_ok =
            rule.height_at_least ? header.height >= rule.height : header.height == rule.height;
        if (header.width != rule.width || !height_ok) {
            const std::string wanted =
                rule.height_at_least
                    ? std::to_string(rule.width) + " wide with at least " +
                          std::to_string(rule.height) + " rows"
                    : std::to_string(rule.width) + " x " + std::to_string(rule.height);
            report_error(report, rule.index,
                         std::string("the ") + rule.role + " must be " + wanted + ", not " +
                             size_text(header));
        }
    }
}

struct ZoomPlace {
    int32_t index;
    int x;
    int y;
};

constexpr ZoomPlace zoom_places[] = {
    {14, 100, 150}, {15, 100, 50},  {29, 80, 50},   {30, 100, 80},  {25, 100, 100},
    {25, 90, 100},  {26, 130, 130}, {27, 120, 130}, {28, 160, 150}, {28, 150, 150},
};

// A zoom saves and redraws columns x .. x + w + 1 and rows y - half - 1 .. y + half.
void check_zooms(Report* report, const std::map<int32_t, ImageEntryHeader>& pictures) {
    for (const ZoomPlace& place : zoom_places) {
        const auto found = pictures.find(place.index);
        if (found == pictures.end()) {
            continue;
        }
        const int width = found->second.width;
        const int half = (found->second.height + 1) / 2;
        const int right = place.x + width + 1;
        const int top = place.y - half - 1;
        const int bottom = place.y + half;
        if (right >= screen_width || top < 0 || bottom >= screen_height) {
            report_error(report, place.index,
                         "a " + size_text(found->second) + " picture zoomed in at (" +
                             std::to_string(place.x) + ", " + std::to_string(place.y) +
                             ") covers columns " + std::to_string(place.x) + ".." +
                             std::to_string(right) + " and rows " + std::to_string(top) + ".." +
                             std::to_string(bottom) + ", outside the 320 x 200 screen");
        }
    }
}

void check_wipe_bar(Report* report, const std::map<int32_t, ImageEntryHeader>& pictures,
                    int32_t index, int row) {
    const auto found = pictures.find(index);
    if (found == pictures.end()) {
        return;
    }
    const int last_x = 315;
    if (last_x + found->second.width > screen_width || row + found->second.height > screen_height) {
        report_warning(report, index,
                       "the " + size_text(found->second) + " wipe bar is cut at the screen edge " +
                           "when drawn at x " + std::to_string(last_x) + " on row " +
                           std::to_string(row));
    }
}

void check_pairs(Report* report, const std::map<int32_t, ImageEntryHeader>& pictures) {
    check_wipe_bar(report, pictures, 16, 94);
    check_wipe_bar(report, pictures, 17, 100);
    for (const int32_t marker : {19, 20}) {
        const auto found = pictures.find(marker);
        if (found != pictures.end() && found->second.height > 21) {
            report_error(report, marker,
                         "a key marker must be at most 21 rows tall, not " +
                             std::to_string(found->second.height));
        }
    }
    const auto red = pictures.find(7);
    const auto green = pictures.find(8);
    if (red != pictures.end() && green != pictures.end() &&
        (red->second.width != green->second.width || red->second.height != green->second.height)) {
        report_error(report, 8,
                     "the two player sprites must have the same size (7 is " +
                         size_text(red->second) + ", 8 is " + size_text(green->second) + ")");
    }
}

} // namespace

int verify_command(int argc, char** argv) {
    if (wants_help(argc, argv)) {
        std::fputs(verify_usage, stdout);
        return 0;
    }
    if (argc != 1) {
        return tool_fail(std::string("verify needs ARCHIVE\n\n") + verify_usage);
    }
    if (!tool_open_archive(argv[0])) {
        return 1;
    }
    Report report;
    const int32_t count = archive_entry_count();
    if (count < required_entries) {
        std::printf("error: the archive has %d entries; the game needs at least %d\n", count,
                    required_entries);
        ++report.errors;
    }
    std::map<int32_t, ImageEntryHeader> pictures;
    check_contents(&report, &pictures);
    check_sizes(&report, pictures);
    check_zooms(&report, pictures);
    check_pairs(&report, pictures);
    archive_close();
    if (report.errors > 0) {
        std::printf("%s: FAILED, %d error%s, %d warning%s\n", argv[0], report.errors,
                    report.errors == 1 ? "" : "s", report.warnings,
                    report.warnings == 1 ? "" : "s");
        return 1;
    }
    std::printf("%s: OK, %d entries, %d warning%s\n", argv[0], count, report.warnings,
                report.warnings == 1 ? "" : "s");
    return 0;
}
