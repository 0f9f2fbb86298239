#pragma once
// The program's start-up: archive, settings, display, sound samples, then the game. Returns the
// exit status. The platform must have been chosen.
int startup_main();
