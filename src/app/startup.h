#pragma once
// The program's start-up. The platform must have been chosen first.
#include "app/command_line.h"
#include "app/game_files.h"

// The game's own: the command line, its files, then startup_run. Returns the exit status.
int startup_main(int argc, char** argv);
// Archive, settings (with the command line's overrides), display, then the game.
int startup_run(const Options& options, const GameFiles& files);
