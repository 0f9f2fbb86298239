#pragma once
// F1 and F2, looked at every frame of a match and of the title screen.
#include <cstdint>

extern int32_t info_screen_open;

void function_keys_handle();
