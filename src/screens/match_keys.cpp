#include "screens/match_keys.h"

#include <cstdio>

#include "app/keyboard.h"
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

} // namespace

void match_keys_handle() {
    if (key_state[key_escape]) {
        quit_requested = 1;
    }
    function_keys_handle();
    for (Body* body = body_head; body != nullptr; body = body->next) {
        body_steer(body);
    }
    if (key_state[key_f11]) {
        threshold_change(1);
    }
    if (key_state[key_f12]) {
        threshold_change(-1);
    }
}
