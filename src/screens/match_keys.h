#pragma once
// The keys a match reacts to every frame: Escape, F1/F2, steering, F11/F12.
void match_keys_handle();
