#include "match/match_keys.h"

#include <cstdio>

#include "field/body.h"
#include "field/steering.h"
#include "gfx/sprite.h"
#include "match/match_loop.h"
#include "screens/function_keys.h"

namespace {

void threshold_change(int32_t by) {
    // Unbounded; held long enough, it wraps instead of overflowing.
    alpha_threshold = static_cast<int32_t>(static_cast<uint32_t>(alpha_threshold) + by);
    std::printf("alpha threshold set to %d", alpha_threshold);
    std::fflush(stdout);
}

uint8_t steer_of(const Body* body, const InputRecord& record) {
    return body->side >= 1 && body->side <= input_sides ? record.steer[body->side - 1] : 0;
}

} // namespace

void match_keys_handle(InputRecord& record, const MatchInput& input) {
    if (record.keys & match_key_escape) {
        match.quit_requested = 1;
    }
    if (input.refresh != nullptr && function_keys_handle(record.keys)) {
        input.refresh(input.context, &record);
    }
    for (Body* body = field.body_head; body != nullptr; body = body->next) {
        body_steer(body, steer_of(body, record));
    }
    if (record.keys & match_key_f11) {
        threshold_change(1);
    }
    if (record.keys & match_key_f12) {
        threshold_change(-1);
    }
}
