// Headless play, timed: whole matches on the scripted platform with both players steering and
// the plasma on, unpaced. Prints the frames per second without and with frame hashes (by the
// wall clock and by the process's own processor time), a frame's median, mean and 99th
// percentile beside a memcpy of one back buffer, and the resident memory after 1 and after N
// matches in one process.
//
//   bench_match [MATCHES]     (default 100)
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "app/game.h"
#include "field/random.h"
#include "gfx/display.h"
#include "input/match_input.h"
#include "match/match_loop.h"
#include "resources/archive.h"
#include "resources/archive_writer.h"
#include "resources/entry_format.h"
#include "scripted.h"
#include "settings/game_settings.h"

namespace {

using Clock = std::chrono::steady_clock;

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

// Each side holds one direction at a time and changes it every 40 frames.
struct Steering {
    KeyboardInput keyboard;
    uint64_t frame = 0;
};

bool steering_read(void* context, InputRecord* record) {
    auto* steering = static_cast<Steering*>(context);
    keyboard_input_read(&steering->keyboard, record);
    static const uint8_t red[] = {2, 8, 1, 4};
    static const uint8_t green[] = {1, 4, 2, 8};
    const uint64_t phase = steering->frame++ / 40;
    record->steer[0] = red[phase % 4];
    record->steer[1] = green[(phase * 3 + 2) % 4];
    return true;
}

MatchInput steering_input(Steering* steering) {
    MatchInput input = keyboard_match_input(&steering->keyboard);
    input.context = steering;
    input.read = steering_read;
    input.refresh = nullptr;
    input.resync = [](void* context) {
        keyboard_input_resync(&static_cast<Steering*>(context)->keyboard);
    };
    return input;
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

struct Run {
    uint64_t frames = 0;
    double seconds = 0;
    double cpu_seconds = 0; // the process's own time: fair on a machine others are busy on
    std::vector<double> frame_micros; // frames of play only, goal sequences left out
};

// Plays whole matches to their end: a sixth goal, from a clock of 84 s.
Run matches_play(int count, bool timed_frames) {
    Run run;
    Steering steering;
    const MatchInput input = steering_input(&steering);
    const uint64_t presented = scripted_frame_count();
    const auto start = Clock::now();
    const std::clock_t cpu_start = std::clock();
    for (int m = 0; m < count; ++m) {
        MatchState state{};
        match_begin(state, input);
        for (;;) {
            const int32_t goals = match.side1_score + match.side2_score;
            const auto frame_start = Clock::now();
            if (match_frame(state, input) != FrameResult::next) {
                break;
            }
            if (timed_frames && match.side1_score + match.side2_score == goals) {
                run.frame_micros.push_back(micros_since(frame_start));
            }
        }
    }
    run.seconds = micros_since(start) * 1e-6;
    run.cpu_seconds = double(std::clock() - cpu_start) / CLOCKS_PER_SEC;
    run.frames = scripted_frame_count() - presented;
    return run;
}

uint64_t hash_sum = 0;

} // namespace

int main(int argc, char** argv) {
    const int many = argc > 1 ? std::max(2, std::atoi(argv[1])) : 100;
    scripted_start(ScriptedSetup{});
    game_settings_reset();
    game_settings.sound_disabled = 1;
    game_settings.game_length = 84;
    game_settings.game_speed = 10 * static_cast<double>(0.1f);
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

    const Run first = matches_play(1, true);
    const long after_one = scripted_resident_kb();
    const Run rest = matches_play(many - 1, false);
    const long after_many = scripted_resident_kb();
    display_hash_sink_set([](void*, uint64_t hash) { hash_sum += hash; }, nullptr);
    const Run hashed = matches_play(std::max(1, many / 10), false);
    display_hash_sink_set(nullptr, nullptr);

    const Run plain{first.frames + rest.frames,
                    first.seconds + rest.seconds,
                    first.cpu_seconds + rest.cpu_seconds,
                    {}};
    const Summary frame = summary_of(first.frame_micros);
    const Summary copy = summary_of(memcpy_times(5000));
    std::printf("headless, no hashes:   %9.0f frames/s, %9.0f per CPU second (%d matches, %llu "
                "frames)\n",
                double(plain.frames) / plain.seconds, double(plain.frames) / plain.cpu_seconds,
                many, static_cast<unsigned long long>(plain.frames));
    std::printf("headless, with hashes: %9.0f frames/s, %9.0f per CPU second (%d matches, %llu "
                "frames)\n",
                double(hashed.frames) / hashed.seconds, double(hashed.frames) / hashed.cpu_seconds,
                std::max(1, many / 10), static_cast<unsigned long long>(hashed.frames));
    std::printf("frame of play  median %8.2f us  mean %8.2f us  p99 %8.2f us\n", frame.median,
                frame.mean, frame.p99);
    std::printf("memcpy         median %8.2f us  mean %8.2f us  p99 %8.2f us  (128000 bytes)\n",
                copy.median, copy.mean, copy.p99);
    std::printf("resident after 1 match: %ld kB; after %d matches: %ld kB\n", after_one, many,
                after_many);
    program_exit();
    scripted_stop();
    std::filesystem::current_path(std::filesystem::temp_directory_path());
    std::filesystem::remove_all(folder);
    return 0;
}
