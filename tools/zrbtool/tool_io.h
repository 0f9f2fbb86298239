#pragma once
// File helpers and messages shared by the zrbtool verbs.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

bool file_read(const std::string& path, std::vector<uint8_t>* bytes);
// Writes through a temporary file and a rename, so a failure never leaves half a file.
bool file_write(const std::string& path, const std::vector<uint8_t>& bytes);

// "zrbtool: " + message on stderr; returns 1, the status of every failure.
int tool_fail(const std::string& message);
bool wants_help(int argc, char** argv);
// Opens an archive with the game's reader, with a message when it cannot.
bool tool_open_archive(const std::string& path);

// Loads an entry through the archive; the caller releases it with archive_release_entry.
bool tool_load_entry(int32_t index, std::span<const uint8_t>* bytes);
// A whole decimal number in 0..INT32_MAX, nothing else.
bool parse_entry_index(const char* text, int32_t* index);
// The stored bytes of a record, read straight from the archive file (external paths).
bool tool_read_stored(const std::string& archive_path, uint32_t offset, uint32_t length,
                      std::vector<uint8_t>* bytes);
