#include "soak_match.h"

#include <array>

#include "field/random.h"
#include "gfx/display.h"
#include "input/keyboard.h"
#include "input/match_input.h"
#include "match/match_loop.h"
#include "scripted.h"
#include "settings/game_settings.h"

namespace {

uint64_t mix(uint64_t z) {
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// SplitMix64: any seed gives a good stream.
struct Draws {
    uint64_t state;
};

uint64_t draw_next(Draws& d) {
    d.state += 0x9E3779B97F4A7C15ull;
    return mix(d.state);
}

int32_t draw_between(Draws& d, int32_t lo, int32_t hi) {
    return lo + static_cast<int32_t>(draw_next(d) % static_cast<uint64_t>(hi - lo + 1));
}

constexpr int keys_per_side = 4;

// The held directions reach the game as key events, through the keyboard's own input.
struct SoakInput {
    KeyboardInput keyboard;
    Draws draws;
    std::array<uint8_t, input_sides> held{}; // steering bits
    std::array<int32_t, input_sides> frames_left{};
    int64_t game_ms = 0;
};

std::array<int32_t, keys_per_side> side_keys(int side) {
    const PlayerKeys& k = side == 0 ? game_settings.red_keys : game_settings.green_keys;
    return {k.left, k.right, k.up, k.down};
}

void side_hold(SoakInput& in, int side, uint8_t wanted) {
    const std::array<int32_t, keys_per_side> codes = side_keys(side);
    for (int i = 0; i < keys_per_side; ++i) {
        const bool now = (wanted >> i) & 1;
        if (now != (((in.held[side] >> i) & 1) != 0)) {
            scripted_push_key(static_cast<uint32_t>(codes[i]), now);
        }
    }
    in.held[side] = wanted;
}

// Each side's four keys are drawn again after 1 to 8 frames.
bool soak_read(void* context, InputRecord* record) {
    auto* in = static_cast<SoakInput*>(context);
    for (int side = 0; side < input_sides; ++side) {
        if (in->frames_left[side]-- <= 0) {
            const uint64_t bits = draw_next(in->draws);
            side_hold(*in, side, static_cast<uint8_t>(bits & steer_all));
            in->frames_left[side] = static_cast<int32_t>((bits >> 8) % 8);
        }
    }
    keyboard_input_read(&in->keyboard, record);
    in->game_ms += record->elapsed_ms;
    return true;
}

void soak_release(void* context) {
    auto* in = static_cast<SoakInput*>(context);
    for (int side = 0; side < input_sides; ++side) {
        side_hold(*in, side, 0);
    }
}

MatchInput soak_input(SoakInput* in) {
    MatchInput input = keyboard_match_input(&in->keyboard);
    input.context = in;
    input.read = soak_read;
    input.refresh = [](void* context, InputRecord* record) {
        keyboard_input_refresh(&static_cast<SoakInput*>(context)->keyboard, record);
    };
    input.resync = [](void* context) {
        keyboard_input_resync(&static_cast<SoakInput*>(context)->keyboard);
    };
    // The end screen ends as a player ends it: the keys let go.
    input.end_wait = soak_release;
    return input;
}

uint64_t hash_sum = 0;

void hash_add(void*, uint64_t hash) {
    hash_sum += hash;
}

void plan_apply(const SoakPlan& plan) {
    // As the settings file gives it: tenths, scaled by the single-precision 0.1.
    game_settings.game_speed = plan.speed_tenths * static_cast<double>(0.1f);
    game_settings.game_length = plan.length;
    game_settings.plasma_disabled = plan.plasma ? 0 : 1;
    game_random.state = plan.game_seed;
    display_hash_sink_set(plan.hashed ? hash_add : nullptr, nullptr);
}

} // namespace

SoakPlan soak_plan_draw(uint64_t seed, int64_t number) {
    Draws d{mix(seed) ^ mix(static_cast<uint64_t>(number) + 1)};
    SoakPlan plan{};
    const int32_t magnitude = draw_between(d, 1, 30);
    plan.speed_tenths = draw_next(d) & 1 ? magnitude : -magnitude;
    plan.length = draw_between(d, -5, 200);
    plan.plasma = draw_next(d) & 1;
    plan.hashed = draw_next(d) & 1;
    plan.game_seed = static_cast<uint32_t>(draw_next(d));
    plan.keys_seed = draw_next(d);
    return plan;
}

SoakOutcome soak_match_play(const SoakPlan& plan, int64_t cap_ms) {
    plan_apply(plan);
    SoakInput in;
    in.draws.state = plan.keys_seed;
    const MatchInput input = soak_input(&in);
    const uint64_t frames_before = scripted_frame_count();
    MatchState state{};
    match_begin(state, input);
    FrameResult result = FrameResult::next;
    while (result == FrameResult::next && in.game_ms < cap_ms) {
        result = match_frame(state, input);
    }
    SoakOutcome out{};
    out.capped = result == FrameResult::next;
    out.time_up = state.clock.remaining <= 0 && plan.length > 0;
    out.side1_score = match.side1_score;
    out.side2_score = match.side2_score;
    if (result == FrameResult::won) {
        out.winner = match.side1_score > match.side2_score ? 1 : 2;
        match_end(state, input);
    }
    soak_release(&in);
    wait_keys_released();
    display_hash_sink_set(nullptr, nullptr);
    out.game_ms = in.game_ms;
    out.frames = scripted_frame_count() - frames_before;
    return out;
}
