#pragma once
// The game's pseudo-random numbers: the classic runtime generator, 15-bit results, the same
// fixed start on every run.
#include <cstdint>

struct RandomGenerator {
    uint32_t state = 1;
};

// The next number in 0 .. 32767.
int32_t random_next(RandomGenerator& generator);

// The generator behind the kick-offs and the bounce nudges.
extern RandomGenerator game_random;

// rand() * n / 32768 from the game's generator.
int32_t random_below(int32_t n);
// Puts the game's generator back to its fixed start (tests and replays).
void random_reset();
