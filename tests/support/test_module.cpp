#include "test_module.h"

#include "platform/audio.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int sample_bytes = 32;
constexpr int pattern_channels = 4;
constexpr int pattern_rows = 64;
constexpr uint16_t note_period = 428; // C-2

void put_be16(std::vector<uint8_t>& out, size_t at, uint16_t value) {
    out[at] = static_cast<uint8_t>(value >> 8);
    out[at + 1] = static_cast<uint8_t>(value);
}

void put_cell(std::vector<uint8_t>& out, size_t at, bool note, uint8_t effect, uint8_t param) {
    if (note) {
        out[at] = static_cast<uint8_t>((note_period >> 8) & 0x0F); // sample 1: high nibble 0
        out[at + 1] = static_cast<uint8_t>(note_period);
        out[at + 2] = 0x10; // sample 1: low nibble
    }
    out[at + 2] = static_cast<uint8_t>(out[at + 2] | (effect & 0x0F));
    out[at + 3] = param;
}

} // namespace

std::vector<uint8_t> test_module_make(const TestModuleShape& shape) {
    const int rows = std::clamp(shape.rows, 1, pattern_rows);
    const int voices = std::clamp(shape.voices, 0, pattern_channels);
    constexpr size_t header = 20 + 31 * 30 + 2 + 128 + 4;
    constexpr size_t pattern = pattern_rows * pattern_channels * 4;
    std::vector<uint8_t> out(header + pattern + sample_bytes, 0);
    std::memcpy(out.data(), "zorbit test module", 18);
    const size_t first_sample = 20;
    std::memcpy(&out[first_sample], "square", 6);
    put_be16(out, first_sample + 22, sample_bytes / 2);
    out[first_sample + 25] = std::min<uint8_t>(shape.volume, 64);
    put_be16(out, first_sample + 26, 0);                // loop start
    put_be16(out, first_sample + 28, sample_bytes / 2); // loop length: the whole wave
    const size_t song = 20 + 31 * 30;
    out[song] = 1;       // one order
    out[song + 1] = 127; // restart byte
    std::memcpy(&out[song + 2 + 128], "M.K.", 4);

    auto cell = [&](int row, int channel) {
        return header + (row * pattern_channels + channel) * 4;
    };
    for (int channel = 0; channel < voices; ++channel) {
        put_cell(out, cell(0, channel), true, 0, 0);
    }
    put_cell(out, cell(0, 0), voices > 0, 0x0F, std::max<uint8_t>(shape.speed, 1));
    put_cell(out, cell(rows - 1, 3), voices > 3 && rows == 1, 0x0D, 0); // pattern break
    const size_t wave = header + pattern;
    for (int i = 0; i < sample_bytes; ++i) {
        out[wave + i] = i < sample_bytes / 2 ? 100 : static_cast<uint8_t>(-100);
    }
    return out;
}

double test_module_seconds(const TestModuleShape& shape) {
    return std::clamp(shape.rows, 1, pattern_rows) * std::max<uint8_t>(shape.speed, 1) * 0.02;
}

int test_peak(const std::vector<int16_t>& frames, size_t first, size_t last) {
    int top = 0;
    for (size_t i = first * 2; i < std::min(frames.size(), last * 2); ++i) {
        top = std::max(top, std::abs(static_cast<int>(frames[i])));
    }
    return top;
}

std::pair<int, int> test_effect_heard() {
    std::vector<int16_t> frames(2 * 44100);
    audio_mix(frames.data(), 44100);
    int length = 0;
    while (length < 44100 && frames[2 * length] != 0) {
        ++length;
    }
    return {length, frames[0]};
}
