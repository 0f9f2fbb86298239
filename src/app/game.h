#pragma once
// The game from set-up to the orderly end: the title-and-match cycle in between.
#include "app/network_play.h"
#include "app/playback.h"
#include "record/recording.h"

#include <string>

// What this run does besides the title-and-match cycle.
struct PlayPlan {
    RecordingWriter* recorder = nullptr; // every match of the run goes there
    Playback* playback = nullptr;        // played before the title
    bool networked = false;
    NetworkPlan network;   // the session played before the local title
    bool then_end = false; // after the playback or the session, end the program
};

// Everything made once before the first title: the plasma, the text files (in text_folder;
// none when it is empty), the sound, the pixel format, the back buffer, the pictures and the
// tables.
void game_setup(const std::string& text_folder = ".");
// The title screen, then a match, for as long as the title is not left with Escape.
void match_cycle(RecordingWriter* recorder = nullptr);
// Stops the sound and frees everything set-up made, the archive and the display last; returns
// the exit status of a normal end.
int program_exit();
// game_setup, then what the plan asks for, the cycle, and program_exit. The exit status, or 1
// when the plan's playback differed from the game or its session broke and then_end was asked.
int game_run(const std::string& text_folder, const PlayPlan& plan);
