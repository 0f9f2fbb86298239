#pragma once
// Playing a recording back: every match as it was played, frame for frame.
#include "record/recording.h"

#include <cstdint>

struct Playback {
    RecordingReader reader;
    bool window = false;   // a player watches: any key stops, end screens stay a moment
    bool stopped = false;  // a key stopped it
    bool differed = false; // the game ended a match otherwise than the recording says
    int32_t match = 0;
};

// Loads and checks the whole file; false after one line on stderr saying what is wrong.
bool playback_open(Playback* playback, const char* path, uint64_t archive_hash);
// Plays every match with the recording's settings, then puts the player's own back.
void playback_run(Playback* playback);
