// A whole match frame, timed: at least 10,000 frames of a match with the plasma on and both
// players steering, run unpaced on the scripted platform, beside a memcpy of one back buffer.
// Prints the median, mean and 99th percentile in microseconds.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/display.h"
#include "app/game_settings.h"
#include "app/utility.h"
#include "match/match_loop.h"
#include "match/setup.h"
#include "platform/scripted.h"
#include "resources/archive.h"
#include "resources/archive_writer.h"
#include "resources/entry_format.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int frames_wanted = 12000;

ArchiveSource picture(int w, int h, int seed, bool sprite = false) {
    std::vector<uint16_t> pixels(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const bool edge = x == 0 || y == 0 || x == w - 1 || y == h - 1;
            pixels[y * w + x] = sprite && edge ? 0
                                               : static_cast<uint16_t>(((x + seed) & 31) << 10 |
                                                                       ((y * 3 + seed) & 31) << 5 |
                                                                       (16 + (seed & 15)));
        }
    }
    ArchiveSource source;
    source.contents =
        image_entry_encode(static_cast<uint16_t>(w), static_cast<uint16_t>(h), pixels);
    return source;
}

bool bench_archive_open() {
    std::vector<ArchiveSource> entries(31);
    const std::string text = "bench\n";
    entries[0].contents = text_encode({reinterpret_cast<const uint8_t*>(text.data()), text.size()});
    entries[1].contents = entries[0].contents;
    const int sizes[31][2] = {
        {0, 0},    {0, 0},    {0, 0},     {0, 0},     {0, 0},     {0, 0},     {0, 0},    {14, 14},
        {14, 14},  {10, 10},  {320, 181}, {320, 200}, {320, 475}, {320, 200}, {120, 40}, {120, 40},
        {5, 6},    {5, 6},    {320, 159}, {16, 16},   {16, 16},   {101, 8},   {10, 240}, {31, 962},
        {43, 962}, {100, 40}, {80, 30},   {80, 30},   {100, 30},  {160, 40},  {120, 30}};
    for (int i = 7; i < 31; ++i) {
        entries[i] = picture(sizes[i][0], sizes[i][1], i, i <= 9);
    }
    std::vector<uint8_t> bytes;
    archive_build(entries, false, &bytes);
    const std::string path = "/tmp/zorbit-match-bench-" + std::to_string(getpid()) + ".res";
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) {
        return false;
    }
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
    const bool opened = archive_open(path.c_str()) == 1;
    std::remove(path.c_str());
    return opened;
}

// Each player holds one direction key at a time and changes it every 40 frames.
void steering_change(int frame) {
    static const uint32_t red[] = {275, 274, 276, 273};
    static const uint32_t green[] = {111, 113, 112, 97};
    const int phase = frame / 40;
    scripted_push_key(red[(phase + 3) % 4], false);
    scripted_push_key(green[(phase + 1) % 4], false);
    scripted_push_key(red[phase % 4], true);
    scripted_push_key(green[(phase * 3 + 2) % 4], true);
}

struct Summary {
    double median, mean, p99;
};

Summary summary_of(std::vector<double> micros) {
    std::sort(micros.begin(), micros.end());
    double sum = 0;
    for (double m : micros) {
        sum += m;
    }
    return {micros[micros.size() / 2], sum / static_cast<double>(micros.size()),
            micros[micros.size() * 99 / 100]};
}

double micros_since(Clock::time_point start) {
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

std::vector<double> memcpy_times(int rounds) {
    std::vector<uint8_t> a(128000, 1), b(128000, 2);
    std::vector<double> micros;
    for (int i = 0; i < rounds; ++i) {
        a[i % a.size()] = static_cast<uint8_t>(i);
        const auto start = Clock::now();
        std::memcpy(b.data(), a.data(), a.size());
        asm volatile("" : : "r"(b.data()) : "memory");
        micros.push_back(micros_since(start));
    }
    return micros;
}

} // namespace

int main() {
    scripted_start(ScriptedSetup{});
    game_settings_reset();
    sound_disabled = 1;
    game_length = 84;
    if (!bench_archive_open()) {
        std::fprintf(stderr, "match_bench: cannot build the archive\n");
        return 1;
    }
    display_open(320, 200, 15, 0);
    // Set-up writes readme and file_id.diz into the working folder: keep them out of the caller's.
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("zorbit-match-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    std::filesystem::current_path(folder);
    game_setup();

    std::vector<double> frame_micros;
    int matches = 0;
    int goal_frames = 0;
    MatchState state{};
    match_begin(state);
    ++matches;
    for (int frame = 0; static_cast<int>(frame_micros.size()) < frames_wanted; ++frame) {
        if (frame % 40 == 0) {
            steering_change(frame);
        }
        const int32_t goals_before = side1_score + side2_score;
        const auto start = Clock::now();
        const FrameResult result = match_frame(state);
        const double micros = micros_since(start);
        if (result != FrameResult::next) {
            match_begin(state); // a won match: straight into the next one
            ++matches;
            continue;
        }
        if (side1_score + side2_score != goals_before) {
            ++goal_frames; // the goal sequence with its pause: not a frame of play
            continue;
        }
        frame_micros.push_back(micros);
    }
    const Summary frame = summary_of(frame_micros);
    const Summary copy = summary_of(memcpy_times(frames_wanted));
    std::vector<double> hash_micros;
    for (int i = 0; i < 2000; ++i) {
        const auto start = Clock::now();
        const uint64_t hash = frame_hash(back_buffer);
        asm volatile("" : : "r"(hash));
        hash_micros.push_back(micros_since(start));
    }
    const Summary hash = summary_of(hash_micros);
    std::printf("match frames: %zu timed (%d goal frames left out, %d matches, %llu presented)\n",
                frame_micros.size(), goal_frames, matches,
                static_cast<unsigned long long>(scripted_frame_count()));
    std::printf("frame   median %8.2f us  mean %8.2f us  p99 %8.2f us\n", frame.median, frame.mean,
                frame.p99);
    std::printf("memcpy  median %8.2f us  mean %8.2f us  p99 %8.2f us  (128000 bytes)\n",
                copy.median, copy.mean, copy.p99);
    std::printf("of a frame, the scripted present's hash: median %.2f us\n", hash.median);
    std::printf("frame / memcpy (median): %.1f\n", frame.median / copy.median);
    std::filesystem::remove_all(folder);
    return 0;
}
