#pragma once
// One in-memory file per process, rewritten for every input and handed to the game by path: a
// long run then touches no disk, runs several times faster and leaves nothing behind.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

inline int fuzz_file_descriptor() {
    static const int fd = memfd_create("zorbit-fuzz", 0);
    return fd;
}

// The path of the file; null when the system has no in-memory files.
inline const char* fuzz_file_path() {
    static const std::string path = "/proc/self/fd/" + std::to_string(fuzz_file_descriptor());
    return fuzz_file_descriptor() >= 0 ? path.c_str() : nullptr;
}

// Makes the file hold exactly these bytes; its path, or null.
inline const char* fuzz_file_write(const uint8_t* data, size_t size) {
    const int fd = fuzz_file_descriptor();
    if (fd < 0 || ftruncate(fd, 0) != 0) {
        return nullptr;
    }
    size_t written = 0;
    while (written < size) {
        const ssize_t got = pwrite(fd, data + written, size - written, off_t(written));
        if (got <= 0) {
            return nullptr;
        }
        written += size_t(got);
    }
    return fuzz_file_path();
}
