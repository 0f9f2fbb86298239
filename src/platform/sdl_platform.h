#pragma once
// The platform the game runs on: SDL 1.2 for the clock, events, video and audio.
#include "platform/platform.h"

#include <cstdint>

const Platform* sdl_platform();

// What the open video surface is, for traces and tests: bits per pixel, 0 when none is open.
int sdl_video_surface_bits();
// The surface's pixel at (x, y) as stored; false outside it or with no surface open.
bool sdl_video_surface_pixel(int x, int y, uint32_t* value);
// Sees every buffer the audio device is handed, on its thread, right after it is rendered.
using SdlAudioTap = void (*)(const int16_t* frames, int frame_count);
void sdl_audio_set_tap(SdlAudioTap tap);
