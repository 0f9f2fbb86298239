#pragma once
// The video surface. The game always draws 320 x 200 RGB555; the platform converts at present
// when the surface it obtained has another format.
#include <cstdint>

constexpr int video_frame_width = 320;
constexpr int video_frame_height = 200;

// SDL_Init(SDL_INIT_VIDEO). False on failure; video_error() then tells why.
bool video_start();
// Sets the mode; false on failure. Asks for exactly what is given first, then for a mode
// the system can offer, converting at present.
bool video_open(int width, int height, int bits, bool fullscreen);
const char* video_error();
// Shows one 320 x 200 RGB555 frame (row stride 320 pixels) and paces to the frame rate.
void video_present(const uint16_t* frame);
// Locks and unlocks the surface around a copy into the back buffer, as the drawing code does.
void video_lock();
void video_unlock();
void video_stop();
// Frames per second that video_present paces to; 0 or less turns pacing off.
void video_set_frame_rate(int frames_per_second);
// Window scale factor handed to sdl12-compat when video_start runs (unless the user set one);
// 0 or less leaves the choice to SDL.
void video_set_window_scale(int scale);
void video_set_caption(const char* title, const char* icon);
// What the open surface is, for traces and tests: bits per pixel, 0 when none is open.
int video_surface_bits();
// The surface's pixel at (x, y) as stored; false outside it or with no surface open.
bool video_surface_pixel(int x, int y, uint32_t* value);
