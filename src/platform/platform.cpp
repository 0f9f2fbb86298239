#include "platform/platform.h"

#include <cstdio>

namespace {

// What a process has before it chooses: no time passes, nothing happens, nothing is shown.
uint32_t inert_ticks() {
    return 0;
}
void inert_sleep(uint32_t) {}
bool inert_event_poll(PlatformEvent*) {
    return false;
}
const char* inert_video_open(const VideoMode&) {
    return "no platform chosen";
}
void inert_frame(const uint16_t*) {}
void inert_nothing() {}
const char* inert_audio_open(AudioRender) {
    return "no platform chosen";
}
int32_t inert_pad_count() {
    return 0;
}
const char* inert_pad_name(int32_t) {
    return nullptr;
}
void inert_notice(const char*, const char*) {}
void inert_debug(const char*) {}

constexpr Platform inert_platform = {
    inert_ticks,      inert_sleep,    inert_event_poll, inert_video_open,
    inert_frame,      inert_nothing,  inert_nothing,    inert_nothing,
    inert_audio_open, inert_nothing,  inert_nothing,    inert_nothing,
    inert_pad_count,  inert_pad_name, inert_notice,     inert_debug,
};

const Platform* platform = &inert_platform;

} // namespace

void platform_use(const Platform* chosen) {
    platform = chosen != nullptr ? chosen : &inert_platform;
}

uint32_t clock_ticks() {
    return platform->clock_ticks();
}

void clock_sleep(uint32_t ms) {
    platform->clock_sleep(ms);
}

bool events_poll(PlatformEvent* event) {
    return platform->event_poll(event);
}

const char* video_open(const VideoMode& mode) {
    return platform->video_open(mode);
}

void video_present(const uint16_t* frame) {
    if (frame != nullptr) {
        platform->video_present(frame);
    }
}

void video_lock() {
    platform->video_lock();
}

void video_unlock() {
    platform->video_unlock();
}

void video_close() {
    platform->video_close();
}

const char* audio_device_open(AudioRender render) {
    return platform->audio_open(render);
}

void audio_device_lock() {
    platform->audio_lock();
}

void audio_device_unlock() {
    platform->audio_unlock();
}

void audio_device_close() {
    platform->audio_close();
}

int32_t pad_count() {
    return platform->pad_count();
}

const char* pad_name(int32_t pad) {
    return pad >= 0 && pad < pad_count() ? platform->pad_name(pad) : nullptr;
}

void notice_show(const char* text, const char* caption) {
    text = text != nullptr ? text : "";
    caption = caption != nullptr ? caption : "Zorbit";
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
    platform->notice_show(text, caption);
}

void debug_channel_write(const char* text) {
    if (text != nullptr) {
        platform->debug_write(text);
    }
}
