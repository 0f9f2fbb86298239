#pragma once
// Builds archive files: header, each entry's stored bytes in index order, then the directory.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// Byte 0 of an entry's kind field, which the game ignores: the archive tool records there
// what the entry holds so that list and extract can show it. 0 means not recorded.
enum class EntryTag : uint8_t { none = 0, text = 1, module = 2, pcm = 3, image = 4, raw = 5 };

struct ArchiveSource {
    std::vector<uint8_t> contents;
    // An external entry stores this path (NUL-terminated) instead of contents.
    bool external = false;
    std::string external_path;
    // For external entries only: the size written in the record; 0 lets the reader measure.
    uint32_t recorded_size = 0;
    EntryTag tag = EntryTag::none;
};

// Packed archives hold zlib streams (level 9) of every entry but the external ones.
// False only when zlib fails or the archive would not fit in 32-bit offsets.
bool archive_build(std::span<const ArchiveSource> sources, bool packed, std::vector<uint8_t>* out);
