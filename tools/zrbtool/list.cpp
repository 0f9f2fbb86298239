#include <cstdio>
#include <string>
#include <vector>

#include "entry_kinds.h"
#include "resources/archive.h"
#include "resources/entry_format.h"
#include "tool_io.h"
#include "verbs.h"

const char* const list_usage =
    "usage: zrbtool list ARCHIVE\n"
    "\n"
    "Shows every entry of ARCHIVE: index, kind, size once loaded, stored length, and for\n"
    "pictures their width x height. The kind is the one recorded by zrbtool pack, or else\n"
    "the role the game gives that index. External entries show their path; their size is\n"
    "measured from the working folder when the archive does not record it.\n";

namespace {

std::string picture_note(int32_t index) {
    std::span<const uint8_t> bytes;
    if (!tool_load_entry(index, &bytes)) {
        return "cannot be loaded";
    }
    ImageEntryHeader header{};
    const bool ok = image_entry_read_header(bytes, &header);
    archive_release_entry(index);
    if (!ok) {
        return "malformed picture";
    }
    return std::to_string(header.width) + " x " + std::to_string(header.height);
}

std::string external_note(const std::string& archive_path, const ArchiveEntry& record) {
    std::vector<uint8_t> stored;
    if (!tool_read_stored(archive_path, record.offset, record.stored_length, &stored)) {
        return "external, path outside the file";
    }
    std::string path;
    for (const uint8_t byte : stored) {
        if (byte == 0) {
            return "external: " + path;
        }
        path.push_back(byte >= 0x20 && byte < 0x7F ? char(byte) : '?');
    }
    return "external, path without its NUL";
}

} // namespace

int list_command(int argc, char** argv) {
    if (wants_help(argc, argv)) {
        std::fputs(list_usage, stdout);
        return 0;
    }
    if (argc != 1) {
        return tool_fail(std::string("list needs ARCHIVE\n\n") + list_usage);
    }
    if (!tool_open_archive(argv[0])) {
        return 1;
    }
    const int32_t count = archive_entry_count();
    std::printf("%s: %s archive, %d entries\n", argv[0], archive_is_packed() ? "packed" : "raw",
                count);
    std::printf("%5s  %-8s %10s %10s  %s\n", "index", "kind", "size", "stored", "notes");
    for (int32_t index = 0; index < count; ++index) {
        const ArchiveEntry record = *archive_entry_record(index);
        const EntryTag kind = entry_kind_of(index, record);
        const int32_t size = archive_entry_size(index);
        std::string notes;
        if (archive_entry_is_external(record)) {
            notes = external_note(argv[0], record);
        }
        if (kind == EntryTag::image) {
            notes += (notes.empty() ? "" : ", ") + picture_note(index);
        }
        const std::string size_text = size < 0 ? "?" : std::to_string(size);
        std::printf("%5d  %-8s %10s %10u  %s\n", index, entry_kind_name(kind), size_text.c_str(),
                    record.stored_length, notes.c_str());
    }
    archive_close();
    return 0;
}
