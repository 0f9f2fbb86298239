#pragma once
// What the platform functions call while the scripted backend is active.
#include "platform/events.h"

#include <cstdint>

uint32_t scripted_clock_ticks();
void scripted_clock_sleep(uint32_t ms);
bool scripted_events_poll(KeyEvent* event);
void scripted_video_present(const uint16_t* frame);
void scripted_video_lock();
void scripted_notice_show(const char* text, const char* caption);
void scripted_debug_record(const char* text);
void scripted_video_frame_rate(int frames_per_second);
