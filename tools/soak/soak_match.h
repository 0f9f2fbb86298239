#pragma once
// One match of the real game on the scripted platform, its settings and keys drawn at random
// from a seed, so that any match of a run can be played again on its own.
#include <cstdint>

struct SoakPlan {
    int32_t speed_tenths; // the GameSpeed setting: 1..30 or -30..-1
    int32_t length;       // the GameLength setting: -5..200
    bool plasma;
    bool hashed;        // frame hashes taken, as for a recording
    uint32_t game_seed; // the game's own generator (kick-offs, nudges)
    uint64_t keys_seed; // the held keys
};

struct SoakOutcome {
    bool capped; // still playing when the cap came
    bool time_up;
    int32_t winner; // 1 or 2; 0 when capped
    int32_t side1_score;
    int32_t side2_score;
    int64_t game_ms;
    uint64_t frames; // every frame presented, sequences included
};

SoakPlan soak_plan_draw(uint64_t seed, int64_t number);
// Plays the match to its end screen, or until cap_ms of game time have passed; every key is
// released afterwards.
SoakOutcome soak_match_play(const SoakPlan& plan, int64_t cap_ms);
