// What sound costs: the mixer's CPU time per second of audio, and how long an effect takes from
// sound_play_effect to the first loud frame the device is handed.
//
//   bench_sound                                  the four-channel test module
//   ZORBIT_BENCH_MODULE=song.mod bench_sound     any module libopenmpt plays
#include "platform/audio.h"
#include "platform/sdl_platform.h"
#include "resources/archive.h"
#include "resources/archive_writer.h"
#include "settings/game_settings.h"
#include "sound/sound.h"

// The bench has no test library; the tiny module builder is compiled in.
#include "../tests/support/test_module.cpp"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <random>
#include <thread>
#include <vector>

namespace {

std::vector<uint8_t> bench_module() {
    if (const char* path = std::getenv("ZORBIT_BENCH_MODULE")) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    return test_module_make({.rows = 64, .speed = 6, .voices = 4});
}

std::vector<uint8_t> noise(size_t length) {
    std::mt19937 generator(7);
    std::vector<uint8_t> pcm(length);
    for (uint8_t& byte : pcm) {
        byte = static_cast<uint8_t>(generator());
    }
    return pcm;
}

double thread_seconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// One second of audio: the module and 32 voices, all busy the whole time.
void BM_MixOneSecondFullLoad(benchmark::State& state) {
    const std::vector<uint8_t> module = bench_module();
    if (audio_music_load(module.data(), module.size())) {
        state.SkipWithError("libopenmpt refused the module");
        return;
    }
    audio_music_play();
    const std::vector<uint8_t> pcm = noise(3 * 22050);
    AudioSample* sample = audio_sample_make(pcm.data(), pcm.size());
    std::vector<int16_t> buffer(audio_buffer_frames * audio_channels);
    double cpu = 0;
    for (auto _ : state) {
        audio_voices_stop();
        for (int voice = 0; voice < audio_voice_count; ++voice) {
            audio_sample_play(sample, 22050 + voice * 100);
        }
        const double start = thread_seconds();
        for (int done = 0; done < audio_rate; done += audio_buffer_frames) {
            audio_mix(buffer.data(), std::min(audio_buffer_frames, audio_rate - done));
        }
        cpu += thread_seconds() - start;
        benchmark::DoNotOptimize(buffer.data());
        if (audio_voices_busy() != audio_voice_count) {
            state.SkipWithError("a voice fell idle");
        }
    }
    state.counters["cpu_fraction_of_second"] = cpu / double(state.iterations());
    audio_close();
}
BENCHMARK(BM_MixOneSecondFullLoad)->Unit(benchmark::kMillisecond);

// The same second of audio copied rather than mixed, to compare machines.
void BM_MemcpyOneSecond(benchmark::State& state) {
    std::vector<int16_t> from(audio_rate * audio_channels, 1);
    std::vector<int16_t> to(from.size());
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size() * sizeof(int16_t));
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MemcpyOneSecond)->Unit(benchmark::kMicrosecond);

std::atomic<int64_t> loud_at{0};

int64_t now_ns() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void note_first_loud(const int16_t* frames, int frame_count) {
    if (loud_at.load() == 0 &&
        std::any_of(frames, frames + frame_count * audio_channels, [](int16_t v) { return v; })) {
        loud_at = now_ns();
    }
}

bool open_bench_archive() {
    std::vector<ArchiveSource> entries(6);
    entries[2].contents = bench_module();
    for (int effect = 3; effect <= 5; ++effect) {
        entries[effect].contents.assign(200, 220);
    }
    std::vector<uint8_t> bytes;
    char path[] = "/tmp/zorbit-bench-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0 || !archive_build(entries, false, &bytes)) {
        return false;
    }
    FILE* file = fdopen(fd, "wb");
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    std::fclose(file);
    const bool opened = written && archive_open(path);
    std::remove(path);
    return opened;
}

// Plays land at random moments within the device's buffer period, as bounces do.
void BM_EffectLatency(benchmark::State& state) {
    if (!std::getenv("SDL_AUDIODRIVER")) {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
    }
    if (!open_bench_archive()) {
        state.SkipWithError("cannot write the archive");
        return;
    }
    platform_use(sdl_platform());
    game_settings.sound_disabled = 0;
    game_settings.music_disabled =
        1; // silence around the effect, so its first frame is plain to see
    sound_clear_samples();
    sound_start();
    if (!audio_is_open()) {
        state.SkipWithError("no audio device");
        archive_close();
        return;
    }
    sdl_audio_set_tap(note_first_loud);
    std::mt19937 generator(11);
    double worst = 0;
    for (auto _ : state) {
        std::this_thread::sleep_for(std::chrono::microseconds(generator() % 30000));
        loud_at = 0;
        const int64_t start = now_ns();
        sound_play_effect(0, 20000);
        while (loud_at.load() == 0 && now_ns() - start < 1'000'000'000) {
            std::this_thread::yield();
        }
        const double latency = double(loud_at.load() - start) * 1e-9;
        worst = std::max(worst, latency);
        state.SetIterationTime(latency);
        while (audio_voices_busy() > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    state.counters["worst_ms"] = worst * 1000;
    sdl_audio_set_tap(nullptr);
    sound_stop();
    archive_close();
}
BENCHMARK(BM_EffectLatency)->UseManualTime()->Iterations(200)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
