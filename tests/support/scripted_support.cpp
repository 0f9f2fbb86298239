#include "support/scripted_support.h"

#include "gfx/display.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

void ScriptedTest::SetUp() {
    scripted_start(ScriptedSetup{});
    frame.assign(320 * 200, 0);
    background = frame;
    display_set_target(frame.data());
}

void ScriptedTest::frame_fill_pattern() {
    for (size_t i = 0; i < frame.size(); i++) {
        frame[i] = static_cast<uint16_t>(0x4000 | (i % 997));
    }
    background = frame;
}

int ScriptedTest::frame_changed() const {
    int count = 0;
    for (size_t i = 0; i < frame.size(); i++) {
        count += frame[i] != background[i];
    }
    return count;
}

void ScriptedTest::TearDown() {
    scripted_stop();
    display.draw_target = nullptr;
}

Bitmap* filled_bitmap(int width, int height, uint16_t value) {
    Bitmap* bitmap = nullptr;
    bitmap_create(&bitmap, static_cast<int16_t>(width), static_cast<int16_t>(height));
    std::fill(bitmap->pixels, bitmap->pixels + bitmap->capacity, value);
    return bitmap;
}

std::string scripted_temp_path(const std::string& name) {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::filesystem::path folder = std::filesystem::path(ZORBIT_BINARY_DIR) / "test_output" /
                                   (std::string(test->test_suite_name()) + "." + test->name());
    std::filesystem::create_directories(folder);
    return (folder / name).string();
}

std::vector<std::string> scripted_read_lines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream file(path);
    std::string line;
    while (std::getline(file, line)) {
        lines.push_back(line);
    }
    return lines;
}
