#pragma once
// The information (F1) and key redefinition (F2) screens, drawn over whatever is shown.
#include <cstdint>

extern int32_t overlay_busy;

void info_screen_run();
void key_screen_run();
