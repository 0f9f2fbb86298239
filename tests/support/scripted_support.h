#pragma once
// Test helpers around the scripted backend: a fixture that runs each test on it, key scripts
// and frame buffers.
#include "platform/scripted.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

// Starts the scripted backend before each test and stops it after; the back buffer is a
// zeroed 320 x 200 frame made the draw target.
class ScriptedTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    // Restarts the backend with another script.
    void scripted_restart(const ScriptedSetup& setup);

    std::vector<uint16_t> frame;
};

// A press at tick and its release hold_ms later.
std::vector<ScriptedKey> scripted_tap(uint32_t tick, uint32_t symbol, uint32_t hold_ms);
// An RGB555 pixel from 5-bit channels.
constexpr uint16_t rgb555(int red, int green, int blue) {
    return static_cast<uint16_t>(red << 10 | green << 5 | blue);
}
// A file path in the test build folder, unique to the running test.
std::string scripted_temp_path(const std::string& name);
// The lines of a text file; empty when it is missing.
std::vector<std::string> scripted_read_lines(const std::string& path);
