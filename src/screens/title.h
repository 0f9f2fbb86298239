#pragma once
// The title screen: the picture revealed, then the panels cycling until a key is pressed.

enum class TitleChoice { quit, match };

// Returns when a match is to start, or quit after Escape.
TitleChoice title_screen_run();
