#pragma once
// Test helpers around the scripted backend: a fixture that runs each test on it, key scripts
// and frame buffers.
#include "gfx/bitmap.h"
#include "scripted.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

// Starts the scripted backend before each test and stops it after; the back buffer is a
// zeroed 320 x 200 frame made the draw target, and that is the background too.
class ScriptedTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    // Fills the back buffer with a pattern (no pixel 0 or 0x7FFF) and makes it the background.
    void frame_fill_pattern();
    // Back-buffer pixels that differ from the background.
    int frame_changed() const;
    uint16_t& at(int x, int y) { return frame[static_cast<size_t>(y) * 320 + x]; }
    uint16_t was(int x, int y) const { return background[static_cast<size_t>(y) * 320 + x]; }

    std::vector<uint16_t> frame;
    std::vector<uint16_t> background;
};

// An RGB555 pixel from 5-bit channels.
constexpr uint16_t rgb555(int red, int green, int blue) {
    return static_cast<uint16_t>(red << 10 | green << 5 | blue);
}
// A bitmap of that size with every pixel, spare rows included, set to value.
Bitmap* filled_bitmap(int width, int height, uint16_t value);
// A file path in the test build folder, unique to the running test.
std::string scripted_temp_path(const std::string& name);
// The lines of a text file; empty when it is missing.
std::vector<std::string> scripted_read_lines(const std::string& path);
