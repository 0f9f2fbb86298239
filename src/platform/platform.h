#pragma once
// The one door to the machine: clock, events, video, audio, notices and the debug channel.
// The program picks an implementation once at start (SDL in the game, the scripted one in tests
// and zorbit-replay); the code behind the door never asks which one runs.
#include <cstdint>

enum class PlatformEventType : uint8_t {
    key_down,
    key_up,
    pad_axis,
    pad_hat,
    pad_button_down,
    pad_button_up,
    quit, // the window's close button, SIGINT or SIGTERM
};

struct PlatformEvent {
    PlatformEventType type;
    uint32_t symbol; // keys: SDL 1.2 key symbol, not yet reduced; pad buttons: button number
    uint8_t pad;     // pad events: which pad
    uint8_t control; // axis or hat number
    int16_t value;   // axis position, or the hat's direction bits
};

struct VideoMode {
    const char* caption;
    int32_t width;
    int32_t height;
    int32_t bits;
    bool fullscreen;
    int32_t scale;      // window scale factor; 0 or less: the largest that fits the desktop
    int32_t frame_rate; // presents are paced to this; 0 or less: unpaced
    // The window's icon, RGB555 with 0 transparent; none when null.
    const uint16_t* icon = nullptr;
    int32_t icon_width = 0;
    int32_t icon_height = 0;
};

// Fills interleaved stereo frames at 44100 Hz; a device calls it whenever it needs sound.
using AudioRender = void (*)(int16_t* frames, int frame_count);

struct Platform {
    uint32_t (*clock_ticks)();
    void (*clock_sleep)(uint32_t ms);
    // The next waiting event; false when there is none.
    bool (*event_poll)(PlatformEvent* event);
    // Null on success, otherwise a sentence saying why.
    const char* (*video_open)(const VideoMode& mode);
    // One 320 x 200 RGB555 frame, paced to the mode's frame rate.
    void (*video_present)(const uint16_t* frame);
    void (*video_lock)();
    void (*video_unlock)();
    void (*video_close)();
    // Null on success, otherwise why. The device renders from its own thread (or clock).
    const char* (*audio_open)(AudioRender render);
    void (*audio_lock)();
    void (*audio_unlock)();
    void (*audio_close)();
    // The gamepads found when the video opened, numbered from 0.
    int32_t (*pad_count)();
    const char* (*pad_name)(int32_t pad);
    // A blocking notice, shown where the platform can (the text is already on stderr).
    void (*notice_show)(const char* text, const char* caption);
    void (*debug_write)(const char* text);
};

// Chooses the implementation; null goes back to the inert one that every process starts with.
void platform_use(const Platform* chosen);

uint32_t clock_ticks();
void clock_sleep(uint32_t ms);
bool events_poll(PlatformEvent* event);
const char* video_open(const VideoMode& mode);
void video_present(const uint16_t* frame);
void video_lock();
void video_unlock();
void video_close();
const char* audio_device_open(AudioRender render);
void audio_device_lock();
void audio_device_unlock();
void audio_device_close();
int32_t pad_count();
// Null for a pad that is not there.
const char* pad_name(int32_t pad);
// Writes "<caption>: <text>" on stderr, then shows the notice where the platform can.
void notice_show(const char* text, const char* caption);
// Developer traces: kept out of the standard streams.
void debug_channel_write(const char* text);
