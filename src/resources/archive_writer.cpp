#include "resources/archive_writer.h"

#include "resources/byte_order.h"

#include <utility>
#include <zlib.h>

namespace {

constexpr size_t header_length = 12;

void append_u32(std::vector<uint8_t>& bytes, uint32_t value) {
    bytes.resize(bytes.size() + 4);
    u32_write(&bytes[bytes.size() - 4], value);
}

bool pack_contents(const std::vector<uint8_t>& contents, std::vector<uint8_t>* stored) {
    uLongf length = compressBound(uLong(contents.size()));
    stored->resize(length);
    if (compress2(stored->data(), &length, contents.data(), uLong(contents.size()), 9) != Z_OK) {
        return false;
    }
    stored->resize(length);
    return true;
}

bool stored_form(const ArchiveSource& source, bool packed, std::vector<uint8_t>* stored) {
    if (source.external) {
        stored->assign(source.external_path.begin(), source.external_path.end());
        stored->push_back(0);
        return true;
    }
    if (packed) {
        return pack_contents(source.contents, stored);
    }
    *stored = source.contents;
    return true;
}

} // namespace

bool archive_build(std::span<const ArchiveSource> sources, bool packed, std::vector<uint8_t>* out) {
    const char* magic = packed ? "KyvZ" : "KyvR";
    std::vector<uint8_t> bytes(magic, magic + 4);
    bytes.resize(header_length, 0);
    std::vector<uint8_t> records;
    for (const ArchiveSource& source : sources) {
        std::vector<uint8_t> stored;
        if (!stored_form(source, packed, &stored) || source.contents.size() > UINT32_MAX ||
            bytes.size() + stored.size() > UINT32_MAX) {
            return false;
        }
        append_u32(records, uint32_t(bytes.size()));
        append_u32(records,
                   source.external ? source.recorded_size : uint32_t(source.contents.size()));
        append_u32(records, uint32_t(stored.size()));
        records.push_back(uint8_t(source.tag));
        records.push_back(source.external ? 0xFF : 0);
        records.push_back(0);
        records.push_back(0);
        bytes.insert(bytes.end(), stored.begin(), stored.end());
    }
    if (bytes.size() + records.size() > UINT32_MAX) {
        return false;
    }
    const uint32_t directory_offset = uint32_t(bytes.size());
    u32_write(&bytes[4], directory_offset);
    u32_write(&bytes[8], uint32_t(sources.size()));
    bytes.insert(bytes.end(), records.begin(), records.end());
    *out = std::move(bytes);
    return true;
}
