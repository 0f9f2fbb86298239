#include "contestant.h"

namespace {

int32_t contestant_random(Contestant* c) {
    c->random_state = c->random_state * 214013u + 2531011u;
    return static_cast<int32_t>((c->random_state >> 16) & 0x7FFF);
}

// Each key is held or released at random and kept so for 5 to 30 frames.
uint8_t random_keys_steer(Contestant* c) {
    static constexpr uint8_t key_bits[4] = {steer_left, steer_right, steer_up, steer_down};
    uint8_t bits = 0;
    for (int i = 0; i < 4; ++i) {
        if (c->countdown[i]-- <= 0) {
            c->held[i] = (contestant_random(c) & 1) != 0;
            c->countdown[i] = 5 + contestant_random(c) % 26;
        }
        bits |= c->held[i] ? key_bits[i] : 0;
    }
    return bits;
}

} // namespace

void contestant_start(Contestant* c, int32_t side, int32_t skill, uint32_t seed) {
    *c = Contestant{};
    c->skill = skill;
    c->random_state = seed;
    computer_player_start(&c->computer, side, skill);
}

uint8_t contestant_steer(Contestant* c, const ComputerView& view) {
    if (c->skill == random_keys_skill) {
        return random_keys_steer(c);
    }
    return computer_player_steer(&c->computer, view);
}

const char* contestant_name(int32_t skill) {
    static const char* names[] = {"random keys", "skill 1", "skill 2", "skill 3"};
    return skill >= 0 && skill <= 3 ? names[skill] : "?";
}
