#include "app/match_carry.h"

#include "field/body.h"
#include "field/plasma.h"
#include "field/random.h"
#include "gfx/sprite.h"
#include "platform/fnv.h"

#include <algorithm>
#include <cstring>

namespace {

struct StateHash {
    uint64_t value = fnv_offset;

    template <typename T> void add(const T& field) {
        uint8_t bytes[sizeof(T)];
        std::memcpy(bytes, &field, sizeof bytes);
        for (uint8_t byte : bytes) {
            value = fnv_step(value, byte);
        }
    }
};

} // namespace

MatchCarry match_carry_capture() {
    const Plasma& p = plasma;
    return MatchCarry{
        game_random.state, match.marker_frame, alpha_threshold, field.skip_next_collision,
        p.plasma_phase_1,  p.plasma_phase_2,   p.plasma_rows,   p.red_scale,
        p.red_step,        p.green_scale,      p.blue_scale};
}

void match_carry_apply(const MatchCarry& carry) {
    game_random.state = carry.random_state;
    match.marker_frame = carry.marker_frame;
    alpha_threshold = carry.alpha_threshold;
    field.skip_next_collision = carry.skip_next_collision;
    Plasma& p = plasma;
    p.plasma_phase_1 = carry.plasma_phase_1;
    p.plasma_phase_2 = carry.plasma_phase_2;
    p.plasma_rows = carry.plasma_rows;
    p.red_scale = carry.red_scale;
    p.red_step = carry.red_step;
    p.green_scale = carry.green_scale;
    p.blue_scale = carry.blue_scale;
    // Rows the plasma has not grown to yet are black, as in a fresh program.
    const size_t grown = size_t(std::max(carry.plasma_rows, 0)) * plasma_width;
    if (grown < p.plasma_buffer.size()) {
        std::fill(p.plasma_buffer.begin() + static_cast<std::ptrdiff_t>(grown),
                  p.plasma_buffer.end(), uint8_t{0});
    }
}

MatchCarry match_carry_fresh() {
    const Plasma fresh;
    return MatchCarry{RandomGenerator{}.state,
                      0,
                      15,
                      0,
                      fresh.plasma_phase_1,
                      fresh.plasma_phase_2,
                      fresh.plasma_rows,
                      fresh.red_scale,
                      fresh.red_step,
                      fresh.green_scale,
                      fresh.blue_scale};
}

uint64_t match_state_hash(const MatchState& state) {
    StateHash hash;
    for (const Body* body = field.body_head; body != nullptr; body = body->next) {
        hash.add(body->x);
        hash.add(body->y);
        hash.add(body->vx);
        hash.add(body->vy);
        hash.add(body->last_partner != nullptr ? body->last_partner->id : 0);
    }
    hash.add(match.side1_score);
    hash.add(match.side2_score);
    hash.add(match.frame_counter);
    hash.add(state.clock.remaining);
    hash.add(game_random.state);
    hash.add(field.skip_next_collision);
    return hash.value;
}
