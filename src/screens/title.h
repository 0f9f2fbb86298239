#pragma once
// The title screen: the picture revealed, then the panels cycling until a key is pressed.

enum class TitleChoice { quit, match, red_against_computer, green_against_computer };

// Key 1: play red against the computer; key 2: play green against it.
constexpr int key_play_red = '1';
constexpr int key_play_green = '2';

// What a network session adds: a match begun on the other side stops this title too, and keys
// 1, 2, F1 and F2 do nothing.
struct TitleHooks {
    void* context = nullptr;
    bool (*started)(void* context) = nullptr;
    bool network = false;
};

// Returns when a match is to start (with the side choice of the key that started it), or quit
// after Escape.
TitleChoice title_screen_run(const TitleHooks* hooks = nullptr);
