#include "field/random.h"

RandomGenerator game_random;

int32_t random_next(RandomGenerator& generator) {
    generator.state = generator.state * 214013u + 2531011u;
    return static_cast<int32_t>((generator.state >> 16) & 0x7FFF);
}

int32_t random_below(int32_t n) {
    // Wide product: the 32-bit one overflows for n above 65536.
    return static_cast<int32_t>(static_cast<int64_t>(random_next(game_random)) * n / 32768);
}

void random_reset() {
    game_random = RandomGenerator{};
}
