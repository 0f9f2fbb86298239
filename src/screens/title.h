#pragma once
// The title screen; returns when a match is to start, ends the program on Escape.
void title_screen_run();
