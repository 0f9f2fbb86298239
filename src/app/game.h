#pragma once
// The game from set-up to the orderly end: the title-and-match cycle in between.

#include <string>

// Everything made once before the first title: the plasma, the text files (in text_folder;
// none when it is empty), the sound, the pixel format, the back buffer, the pictures and the
// tables.
void game_setup(const std::string& text_folder = ".");
// The title screen, then a match, for as long as the title is not left with Escape.
void match_cycle();
// Stops the sound and frees everything set-up made, the archive and the display last; returns
// the exit status of a normal end.
int program_exit();
// game_setup, match_cycle, program_exit.
int game_run(const std::string& text_folder);
