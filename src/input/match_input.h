#pragma once
// Where a match's input records come from: the keyboard, a recording, a network peer, or a mix
// of sources put together by the program. The match calls these and nothing else for input.
#include "input/input_record.h"

struct MatchInput {
    void* context = nullptr;
    // The record of the next frame; false when there is none (a recording ran out, a key stopped
    // its playback, a network session ended): the match stops without another frame.
    bool (*read)(void* context, InputRecord* record) = nullptr;
    // After an F1 or F2 screen: the steering and F11/F12 as they are now (the screens leave every
    // key released). Null when the function keys do nothing in this match.
    void (*refresh)(void* context, InputRecord* record) = nullptr;
    // Time spent between frames (a goal, time-up, an overlay) counts in no frame.
    void (*resync)(void* context) = nullptr;
    // The end screen's wait for a key; null: the keyboard's wait_key_change.
    void (*end_wait)(void* context) = nullptr;
};

// The keyboard and the player keys of the game settings, timed by the platform's clock.
struct KeyboardInput {
    uint32_t last_ticks = 0;
};

bool keyboard_input_read(void* context, InputRecord* record);
void keyboard_input_refresh(void* context, InputRecord* record);
void keyboard_input_resync(void* context);
MatchInput keyboard_match_input(KeyboardInput* keyboard);
