#pragma once
// The information (F1) and key redefinition (F2) screens, drawn over whatever is shown.
#include <cstdint>

struct Bitmap;

struct Overlays {
    // Set while either screen runs, so neither opens over the other.
    int32_t overlay_busy = 0;
    // The prompt markers of the key screen; loaded only while it runs.
    Bitmap* key_taken_marker = nullptr;
    Bitmap* key_wait_marker = nullptr;
};

extern Overlays overlays;

void info_screen_run();
void key_screen_run();

// Paints the two bars across rows 94..105, the upper from the left, the lower from the right.
void bar_wipe();
// Opens the bars like a curtain over a full-width picture in n frames (n up to 95).
void curtain_open(const Bitmap* picture, int n);
// Shows the waiting marker at (x, y) and returns the key that changed first (never 0).
int key_prompt(int x, int y);
// Moves every channel of current one unit towards target, 32 presented steps.
void fade_to_image(const uint16_t* target, uint16_t* current);
// Appends the current player keys to the settings file; false (with a line on stderr) on failure.
bool key_block_append(const char* path);
