#pragma once
// Who steers a side in the table: the computer player at a skill, or someone who holds random
// keys.
#include <cstdint>

#include "computer/computer_player.h"

constexpr int32_t random_keys_skill = 0;

struct Contestant {
    int32_t skill; // 1..3 the computer, random_keys_skill the random keys
    ComputerPlayer computer;
    uint32_t random_state;
    int32_t countdown[4]; // frames until each key is drawn again
    bool held[4];         // left, right, up, down
};

void contestant_start(Contestant* c, int32_t side, int32_t skill, uint32_t seed);
uint8_t contestant_steer(Contestant* c, const ComputerView& view);
const char* contestant_name(int32_t skill);
