#pragma once
// Plays one whole match of the real game on the scripted platform, each side steered by a
// contestant. The only file here that knows how a side's bits reach the game.
#include <cstdint>

struct Contestant;

struct MatchOutcome {
    int32_t winner; // 1 or 2; 0 when the game-time cap stopped the match
    int32_t side1_score;
    int32_t side2_score;
    int64_t game_ms; // the milliseconds the match frames counted
    bool time_up;    // the clock ran out before the end
};

// The game set-up over the archive at archive_path, sound and plasma off. False on failure.
bool match_driver_open(const char* archive_path, double speed, int32_t length_seconds);
// game_seed picks the game's own random draws (kick-offs, bounce nudges).
MatchOutcome match_drive(Contestant* red, Contestant* green, uint32_t game_seed, int64_t cap_ms);
void match_driver_close();
