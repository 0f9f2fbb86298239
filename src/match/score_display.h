#pragma once
// The score markers along the top and bottom edges, and the shrinking clock bar.
#include <cstdint>

constexpr int32_t marker_frames = 30;
constexpr int32_t clock_cells = 84;

void score_display();
// cells: clock cells still lit, 0 or more; above 84 draws like 84.
void clock_display(int32_t cells);
