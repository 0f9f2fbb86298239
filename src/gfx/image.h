#pragma once
// Image entries of the archive as bitmaps in the display's pixel format.
#include <cstdint>

struct Bitmap;

// Null when the entry is missing or malformed. The bitmap borrows the entry's pixels.
Bitmap* image_load(int32_t index);
// Releases the record and the archive entry behind it (not bitmap_free).
void image_release(Bitmap* image, int32_t index);
