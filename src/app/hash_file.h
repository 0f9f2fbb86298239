#pragma once
// The hash of every counted frame (a match, its goals, time-up and end screens), written to a
// file line by line as "<frame> <hash>", to compare two runs frame for frame.
#include <cstdint>
#include <cstdio>

struct HashFile {
    std::FILE* file = nullptr;
    bool own = false; // closed at the end (not standard output)
    uint64_t frames = 0;
};

// "-" is standard output. False when the file cannot be made.
bool hash_file_open(HashFile* hashes, const char* path);
void hash_file_close(HashFile* hashes);
