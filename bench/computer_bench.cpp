// One frame of the computer player's steering, over a stretch of play in which the ball
// bounces round the pitch and both players move, beside a memcpy of the player's own state
// (its remembered views), for comparison across machines.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "computer/computer_player.h"

namespace {

// Moves a body in a straight line, bouncing off the pitch's walls.
void body_coast(ComputerBody& b, double k) {
    b.x += b.vx * k;
    b.y += b.vy * k;
    if (b.x < 8 || b.x > 311 - b.w) {
        b.vx = -b.vx;
    }
    if (b.y < 16 || b.y > 183 - b.h) {
        b.vy = -b.vy;
    }
}

std::vector<ComputerView> play_views(int count) {
    ComputerView v{};
    v.red = {80, 90, 1.2, 0.7, 18, 18};
    v.green = {240, 90, -0.9, 1.4, 18, 18};
    v.ball = {160, 90, 2.3, -1.7, 10, 10};
    v.remaining_ms = 84000;
    v.game_speed = 1.0;
    v.elapsed_ms = 16;
    std::vector<ComputerView> views;
    for (int i = 0; i < count; ++i) {
        v.frame_count = i;
        views.push_back(v);
        for (ComputerBody* b : {&v.red, &v.green, &v.ball}) {
            body_coast(*b, 1.6);
        }
    }
    return views;
}

void computer_steer(benchmark::State& state) {
    const std::vector<ComputerView> views = play_views(4000);
    ComputerPlayer player;
    computer_player_start(&player, 1, static_cast<int32_t>(state.range(0)));
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(computer_player_steer(&player, views[i]));
        i = (i + 1) % views.size();
    }
}
BENCHMARK(computer_steer)->Arg(1)->Arg(3);

// The dearest case: views with nothing to do with one another, so that no plan outlives its
// frame and every search runs in full.
std::vector<ComputerView> scattered_views(int count) {
    uint32_t state = 7;
    auto next = [&state](double lo, double hi) {
        state = state * 214013u + 2531011u;
        return lo + (hi - lo) * ((state >> 16) & 0x7FFF) / 32767.0;
    };
    std::vector<ComputerView> views = play_views(count);
    for (ComputerView& v : views) {
        for (ComputerBody* b : {&v.red, &v.green, &v.ball}) {
            *b = {next(8, 311 - b->w),
                  next(16, 183 - b->h),
                  next(-3.5, 3.5),
                  next(-3.5, 3.5),
                  b->w,
                  b->h};
        }
    }
    return views;
}

void computer_steer_scattered(benchmark::State& state) {
    const std::vector<ComputerView> views = scattered_views(4000);
    ComputerPlayer player;
    computer_player_start(&player, 1, 3);
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(computer_player_steer(&player, views[i]));
        i = (i + 1) % views.size();
    }
}
BENCHMARK(computer_steer_scattered);

void player_state_memcpy(benchmark::State& state) {
    std::vector<uint8_t> from(sizeof(ComputerPlayer), 1), to(sizeof(ComputerPlayer));
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size());
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * from.size());
}
BENCHMARK(player_state_memcpy);

} // namespace

BENCHMARK_MAIN();
