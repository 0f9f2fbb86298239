#pragma once
// The program's start-up: archive, settings, display, sound samples, then the game.
int startup_main();
