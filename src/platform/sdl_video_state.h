#pragma once
// Shared between the SDL video and event code.
extern bool sdl_video_started;
