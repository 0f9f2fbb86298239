#pragma once
// Little-endian fields of the archive and its entries, whatever the host's byte order.
#include <cstdint>

inline uint16_t u16_read(const uint8_t* bytes) {
    return uint16_t(bytes[0] | bytes[1] << 8);
}

inline uint32_t u32_read(const uint8_t* bytes) {
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
           uint32_t(bytes[3]) << 24;
}

inline void u16_write(uint8_t* bytes, uint16_t value) {
    bytes[0] = uint8_t(value);
    bytes[1] = uint8_t(value >> 8);
}

inline void u32_write(uint8_t* bytes, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[i] = uint8_t(value >> (8 * i));
    }
}
