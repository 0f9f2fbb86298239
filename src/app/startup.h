#pragma once
// The program's start-up. The platform must have been chosen first.
#include "app/command_line.h"
#include "app/game_files.h"

// The game's own: the command line, its files, then startup_run. Returns the exit status.
int startup_main(int argc, char** argv);
// Archive, settings (with the command line's overrides), display, then the game. headless: the
// run has no player at the screen (zorbit-replay): a playback or a network session ends it, and
// --host 0 listens on any free port.
int startup_run(const Options& options, const GameFiles& files, bool headless = false);
