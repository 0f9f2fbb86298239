#include "resources/archive.h"

#include "platform/fnv.h"
#include "resources/byte_order.h"

#include <sys/stat.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>
#include <zlib.h>

namespace {

constexpr uint32_t header_length = 12;
constexpr uint32_t record_length = 16;
// A deflate stream cannot expand by more than this; larger claimed sizes are lies.
constexpr uint64_t deflate_max_ratio = 1032;

// The one open archive.
struct Archive {
    std::FILE* archive_file = nullptr;
    uint64_t archive_file_length = 0;
    bool packed = false;
    std::vector<ArchiveEntry> directory;
};

Archive archive;

ArchiveEntry* entry_at(int32_t index) {
    if (!archive.archive_file || index < 0 || uint32_t(index) >= archive.directory.size()) {
        return nullptr;
    }
    return &archive.directory[uint32_t(index)];
}

// Length of a regular file, or -1; directories and devices have no meaningful length.
int64_t file_length(std::FILE* file) {
    struct stat info;
    if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode)) {
        return -1;
    }
    if (std::fseek(file, 0, SEEK_END) != 0) {
        return -1;
    }
    const long length = std::ftell(file);
    if (length < 0 || std::fseek(file, 0, SEEK_SET) != 0) {
        return -1;
    }
    return length;
}

bool stored_bytes_inside(const ArchiveEntry& entry) {
    return uint64_t(entry.offset) + entry.stored_length <= archive.archive_file_length;
}

bool read_stored_bytes(const ArchiveEntry& entry, uint8_t* out) {
    if (!stored_bytes_inside(entry)) {
        return false;
    }
    if (entry.stored_length == 0) {
        return true;
    }
    if (std::fseek(archive.archive_file, long(entry.offset), SEEK_SET) != 0) {
        return false;
    }
    return std::fread(out, 1, entry.stored_length, archive.archive_file) == entry.stored_length;
}

// The path of an external entry, which must end with its NUL inside the stored bytes.
bool read_external_path(const ArchiveEntry& entry, std::vector<char>* path) {
    if (entry.stored_length == 0 || !stored_bytes_inside(entry)) {
        return false;
    }
    path->assign(entry.stored_length, '\0');
    if (!read_stored_bytes(entry, reinterpret_cast<uint8_t*>(path->data()))) {
        return false;
    }
    return std::memchr(path->data(), '\0', path->size()) != nullptr;
}

std::FILE* open_external(const ArchiveEntry& entry, int64_t* length) {
    std::vector<char> path;
    if (!read_external_path(entry, &path)) {
        return nullptr;
    }
    std::FILE* file = std::fopen(path.data(), "rb");
    if (!file) {
        return nullptr;
    }
    *length = file_length(file);
    if (*length < 0) {
        std::fclose(file);
        return nullptr;
    }
    return file;
}

// Every allocation comes after the checks, so a record that lies about its size costs no
// memory. An empty entry still gets a buffer of its own, so it reads as loaded.
uint8_t* contents_buffer(uint32_t size) {
    return static_cast<uint8_t*>(std::malloc(size ? size : 1));
}

uint8_t* load_external(const ArchiveEntry& entry) {
    int64_t length = 0;
    std::FILE* file = open_external(entry, &length);
    if (!file) {
        return nullptr;
    }
    uint8_t* buffer = length >= int64_t(entry.size) ? contents_buffer(entry.size) : nullptr;
    if (buffer && std::fread(buffer, 1, entry.size, file) != entry.size) {
        std::free(buffer);
        buffer = nullptr;
    }
    std::fclose(file);
    return buffer;
}

uint8_t* load_packed(const ArchiveEntry& entry) {
    if (!stored_bytes_inside(entry) ||
        uint64_t(entry.size) > uint64_t(entry.stored_length) * deflate_max_ratio) {
        return nullptr;
    }
    std::vector<uint8_t> stored(entry.stored_length);
    if (!read_stored_bytes(entry, stored.data())) {
        return nullptr;
    }
    uint8_t* buffer = contents_buffer(entry.size);
    if (!buffer) {
        return nullptr;
    }
    // zlib checks the stream's checksum and end; the length must match the record too. The
    // limit is never 0, which zlib would take as room for one byte of its own.
    uLongf unpacked = entry.size ? entry.size : 1;
    if (uncompress(buffer, &unpacked, stored.data(), uLong(stored.size())) != Z_OK ||
        unpacked != entry.size) {
        std::free(buffer);
        return nullptr;
    }
    return buffer;
}

uint8_t* load_raw(const ArchiveEntry& entry) {
    if (entry.stored_length != entry.size || !stored_bytes_inside(entry)) {
        return nullptr;
    }
    uint8_t* buffer = contents_buffer(entry.size);
    if (buffer && !read_stored_bytes(entry, buffer)) {
        std::free(buffer);
        return nullptr;
    }
    return buffer;
}

uint8_t* load_contents(const ArchiveEntry& entry) {
    if (archive_entry_is_external(entry)) {
        return load_external(entry);
    }
    return archive.packed ? load_packed(entry) : load_raw(entry);
}

bool read_directory(uint32_t offset, int32_t count) {
    if (count < 0 ||
        uint64_t(offset) + uint64_t(count) * record_length > archive.archive_file_length) {
        return false;
    }
    if (std::fseek(archive.archive_file, long(offset), SEEK_SET) != 0) {
        return false;
    }
    archive.directory.assign(uint32_t(count), ArchiveEntry{});
    for (ArchiveEntry& entry : archive.directory) {
        uint8_t record[record_length];
        if (std::fread(record, 1, record_length, archive.archive_file) != record_length) {
            archive.directory.clear();
            return false;
        }
        entry.offset = u32_read(record);
        entry.size = u32_read(record + 4);
        entry.stored_length = u32_read(record + 8);
        std::memcpy(entry.kind, record + 12, 4);
    }
    return true;
}

} // namespace

int archive_open(const char* path) {
    archive_close();
    if (!path) {
        return 0;
    }
    archive.archive_file = std::fopen(path, "rb");
    if (!archive.archive_file) {
        return 0;
    }
    const int64_t length = file_length(archive.archive_file);
    uint8_t header[header_length];
    bool ok = length >= int64_t(header_length) &&
              std::fread(header, 1, header_length, archive.archive_file) == header_length;
    if (ok) {
        archive.archive_file_length = uint64_t(length);
        const bool raw = std::memcmp(header, "KyvR", 4) == 0;
        archive.packed = std::memcmp(header, "KyvZ", 4) == 0;
        ok = (raw || archive.packed) &&
             read_directory(u32_read(header + 4), int32_t(u32_read(header + 8)));
    }
    if (!ok) {
        archive_close();
        return 0;
    }
    return 1;
}

void archive_close() {
    if (archive.archive_file) {
        std::fclose(archive.archive_file);
        archive.archive_file = nullptr;
    }
    for (ArchiveEntry& entry : archive.directory) {
        std::free(entry.data);
    }
    archive.directory.clear();
    archive.packed = false;
    archive.archive_file_length = 0;
}

int32_t archive_entry_size(int32_t index) {
    ArchiveEntry* entry = entry_at(index);
    if (!entry) {
        return -1;
    }
    if (archive_entry_is_external(*entry) && entry->size == 0) {
        int64_t length = 0;
        std::FILE* file = open_external(*entry, &length);
        if (!file) {
            return -1;
        }
        std::fclose(file);
        if (length > INT32_MAX) {
            return -1;
        }
        entry->size = uint32_t(length);
    }
    return entry->size > uint32_t(INT32_MAX) ? -1 : int32_t(entry->size);
}

uint8_t* archive_load_entry(int32_t index) {
    ArchiveEntry* entry = entry_at(index);
    if (!entry) {
        return nullptr;
    }
    if (entry->data) {
        ++entry->ref_count;
        return entry->data;
    }
    if (archive_entry_size(index) < 0) {
        return nullptr;
    }
    uint8_t* buffer = load_contents(*entry);
    if (!buffer) {
        return nullptr;
    }
    entry->data = buffer;
    entry->ref_count = 1;
    return buffer;
}

void archive_release_entry(int32_t index) {
    ArchiveEntry* entry = entry_at(index);
    if (!entry || !entry->data) {
        return;
    }
    --entry->ref_count;
    if (entry->ref_count <= 0) {
        std::free(entry->data);
        entry->data = nullptr;
        entry->ref_count = 0;
    }
}

int32_t archive_entry_count() {
    return archive.archive_file ? int32_t(archive.directory.size()) : -1;
}

bool archive_is_packed() {
    return archive.packed;
}

const ArchiveEntry* archive_entry_record(int32_t index) {
    return entry_at(index);
}

bool archive_entry_is_external(const ArchiveEntry& entry) {
    return entry.kind[1] == 0xFF;
}

uint64_t archive_file_hash(const char* path) {
    std::FILE* file = path != nullptr ? std::fopen(path, "rb") : nullptr;
    if (file == nullptr) {
        return 0;
    }
    uint64_t hash = fnv_offset;
    std::vector<uint8_t> block(1 << 16);
    size_t got = 0;
    while ((got = std::fread(block.data(), 1, block.size(), file)) > 0) {
        for (size_t i = 0; i < got; ++i) {
            hash = fnv_step(hash, block[i]);
        }
    }
    std::fclose(file);
    return hash;
}
