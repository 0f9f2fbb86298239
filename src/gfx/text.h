#pragma once
// Lines of text in the small font (archive entry 31): 64 cells of 6 x 8 pixels for the
// characters from space to underscore; lower case is drawn as upper case.
#include <cstdint>

// Width in pixels of a line.
int32_t text_width(const char* text);
// Draws the font's lit pixels at (x, y) on the draw target, cut at the screen's edges; nothing
// without a font.
void text_draw(const char* text, int32_t x, int32_t y);
// Centred on the screen's width.
void text_draw_centred(const char* text, int32_t y);
