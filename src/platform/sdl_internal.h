#pragma once
// The pieces of the SDL platform, shared between its files.
#include "platform/platform.h"

#include <cstdint>

bool sdl_video_started();
const char* sdl_video_open(const VideoMode& mode);
void sdl_video_present(const uint16_t* frame);
void sdl_video_lock();
void sdl_video_unlock();
void sdl_video_close();
bool sdl_event_poll(PlatformEvent* event);
// The joysticks, opened with the video; sdl12-compat presents game controllers as joysticks.
void sdl_pads_open();
void sdl_pads_close();
int32_t sdl_pad_count();
const char* sdl_pad_name(int32_t pad);
// SIGINT and SIGTERM become a quit event, as the close button is.
void sdl_signals_catch();
// The window's own keys: full screen and back, and a picture of what is shown.
void sdl_video_toggle_fullscreen();
void sdl_video_screenshot();
const char* sdl_audio_open(AudioRender render);
void sdl_audio_lock();
void sdl_audio_unlock();
void sdl_audio_close();
