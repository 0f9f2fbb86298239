#pragma once
// Small archives for tests: build them from a list of entries, write them, open them.
//
//   std::vector<TestEntry> entries(31);            // 31 empty raw entries
//   entries[11] = test_entry(test_image_entry(320, 200, pixels));
//   entries[1] = test_entry(test_text_entry("hello\n"));
//   ASSERT_TRUE(test_archive_open(entries));      // archive_open on a private temp file
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "resources/archive_writer.h"

using TestEntry = ArchiveSource;

TestEntry test_entry(std::vector<uint8_t> contents);
// An external entry naming path; recorded_size 0 lets the reader measure the file.
TestEntry test_external_entry(const std::string& path, uint32_t recorded_size = 0);

// The archive file's bytes; packed archives hold zlib streams of all but external entries.
std::vector<uint8_t> test_archive_bytes(const std::vector<TestEntry>& entries, bool packed = false);
bool test_write_file(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> test_read_file(const std::string& path);
std::string test_read_text(const std::string& path);
// A fresh path in the system temp folder, unique within the process and across processes.
std::string test_temp_path(std::string_view stem);

// Writes the bytes to a temp file and calls archive_open on it. The file is removed at once:
// the archive keeps it open, so it lives exactly as long as the open archive.
bool test_archive_open_bytes(const std::vector<uint8_t>& bytes);
bool test_archive_open(const std::vector<TestEntry>& entries, bool packed = false);

// An image entry in the game's layout, header at 0x40; pixels row after row (RGB555 with the
// default flags and masks).
std::vector<uint8_t> test_image_entry(uint16_t width, uint16_t height,
                                      const std::vector<uint16_t>& pixels, uint8_t flags = 2,
                                      uint32_t red_mask = 0x7C00, uint32_t green_mask = 0x03E0,
                                      uint32_t blue_mask = 0x001F);
// A PNG file's RGB bytes, row after row, and its size; empty when it cannot be read.
std::vector<uint8_t> test_png_read(const std::string& path, uint32_t* width, uint32_t* height);
bool test_png_write(const std::string& path, uint32_t width, uint32_t height,
                    const std::vector<uint8_t>& rgba);
// The stored (scrambled) form of a text, as the game expects it in entries 0 and 1.
std::vector<uint8_t> test_text_entry(std::string_view text);
