#pragma once
// The resource archive zrb.res: entries by index, one shared reference-counted buffer each.
#include <cstdint>

struct ArchiveEntry {
    uint32_t offset;
    uint32_t size;
    uint32_t stored_length;
    uint8_t kind[4]; // kind[1] == 0xFF marks an external entry
    uint8_t* data;
    int32_t ref_count;
};

constexpr const char* archive_file_name = "zrb.res";

int archive_open(const char* path);
// FNV-1a 64 of a whole file, to tell one zrb.res from another (recordings, network play); 0 when
// it cannot be read.
uint64_t archive_file_hash(const char* path);
void archive_close();
int32_t archive_entry_size(int32_t index);
uint8_t* archive_load_entry(int32_t index);
void archive_release_entry(int32_t index);

// For the archive tool: what the open archive holds.
int32_t archive_entry_count();
bool archive_is_packed();
const ArchiveEntry* archive_entry_record(int32_t index);
// An external entry stores a path to a file of the working folder instead of its contents.
bool archive_entry_is_external(const ArchiveEntry& entry);
