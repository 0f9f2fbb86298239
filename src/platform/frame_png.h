#pragma once
// A 320 x 200 RGB555 frame as a PNG file, each pixel repeated scale times across and down.
#include <cstdint>

// False when the file cannot be written.
bool frame_write_png(const uint16_t* frame, const char* path, int scale = 1);
