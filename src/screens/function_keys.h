#pragma once
// F1 and F2, looked at every frame of a match and of the title screen.
#include <cstdint>

// keys: the match-key bits held (match_key_f1, match_key_f2). True when a screen ran; every key
// is released when it returns.
bool function_keys_handle(uint8_t keys);
