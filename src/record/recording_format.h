#pragma once
// The byte layout of a recording, shared by the writer and the reader. README.md describes it.
#include <zlib.h>

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr uint8_t recording_magic[4] = {'Z', 'R', 'E', 'C'};
constexpr size_t recording_prefix_size = 6; // magic and format version

enum ChunkType : uint8_t {
    chunk_header = 1,
    chunk_match_start = 2,
    chunk_frames = 3,
    chunk_match_end = 4,
};

// Type, payload length, payload, CRC-32 of the three. Nothing this version writes comes near
// the limit, so a larger length is damage rather than a tail cut short.
constexpr size_t chunk_head_size = 3;
constexpr size_t chunk_tail_size = 4;
constexpr size_t chunk_payload_max = 4096;

// Frame tokens. A run byte holds up to six frames of the current input whose elapsed time is
// the base or one more, one bit each under a leading marker bit: 16/17 ms frames at 60 Hz.
constexpr uint8_t token_run = 0x80;
constexpr uint8_t run_full = 0x40;
constexpr uint8_t token_near = 0x60; // one frame at base - 16 .. base + 15
constexpr int32_t near_centre = 0x70;
constexpr uint8_t token_keys = 0x40;
constexpr uint8_t token_steer_2 = 0x30;
constexpr uint8_t token_steer_1 = 0x20;
constexpr uint8_t token_elapsed = 0x01; // one frame, any int32 elapsed follows

inline void le16_put(std::vector<uint8_t>& out, uint16_t value) {
    out.push_back(uint8_t(value));
    out.push_back(uint8_t(value >> 8));
}

inline void le32_put(std::vector<uint8_t>& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(uint8_t(value >> (8 * i)));
    }
}

inline void le64_put(std::vector<uint8_t>& out, uint64_t value) {
    le32_put(out, uint32_t(value));
    le32_put(out, uint32_t(value >> 32));
}

inline void le64_put_double(std::vector<uint8_t>& out, double value) {
    le64_put(out, std::bit_cast<uint64_t>(value));
}

inline uint32_t le32_get(const uint8_t* bytes) {
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
           uint32_t(bytes[3]) << 24;
}

inline uint32_t recording_crc(const uint8_t* bytes, size_t size) {
    return uint32_t(crc32(0, bytes, uInt(size)));
}

// The version text as a file holds it: cut to length, anything unprintable made '?'.
std::string recording_printable_text(const std::string& text);
