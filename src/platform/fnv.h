#pragma once
// FNV-1a 64, byte by byte: how the game tells frames, files and match states apart.
#include <cstdint>

constexpr uint64_t fnv_offset = 14695981039346656037ULL;

inline uint64_t fnv_step(uint64_t hash, uint8_t byte) {
    return (hash ^ byte) * 1099511628211ULL;
}
