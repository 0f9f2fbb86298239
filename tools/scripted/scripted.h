#pragma once
// The scripted platform: a virtual clock, a script of key and pad events, frames handed on as
// they are shown, and the game's own mixer rendered on virtual time. Tests and zorbit-replay run
// the real game on it; the game binary never contains it.
#include "platform/platform.h"

#include <cstdint>
#include <string>
#include <vector>

struct ScriptedKey {
    uint32_t tick;   // virtual millisecond at which the event is delivered
    uint32_t symbol; // SDL 1.2 key symbol
    bool pressed;
};

struct ScriptedEvent {
    uint32_t tick;
    PlatformEvent event;
};

// Where the platform hands on what it sees, as it sees it; each is optional.
struct ScriptedSinks {
    void* context = nullptr;
    void (*debug_line)(void* context, const char* text) = nullptr;
    void (*audio)(void* context, const int16_t* frames, int frame_count) = nullptr;
    void (*frame)(void* context, const uint16_t* frame, uint64_t number) = nullptr;
};

struct ScriptedSetup {
    std::vector<ScriptedKey> keys;
    std::vector<ScriptedEvent> events;     // pads, quit requests; merged with the keys by tick
    uint32_t frame_ms = 16;                // virtual time each present takes
    uint32_t time_limit_ms = 0;            // 0: none; past it the process ends with status 3
    std::string snapshot_pattern;          // e.g. "frame_%06d.png"; empty: no snapshots
    std::vector<uint64_t> snapshot_frames; // frame numbers (from 0) written as PNG
    bool audio_refused = false;            // the audio device cannot be opened
    std::vector<std::string> pads;         // the names of the gamepads plugged in
    ScriptedSinks sinks;
};

// Starts a fresh run and makes it the platform; scripted_stop goes back to none.
void scripted_start(const ScriptedSetup& setup);
void scripted_stop();
const Platform* scripted_platform();

uint64_t scripted_frame_count();
// The last presented frame (320 x 200 RGB555).
const std::vector<uint16_t>& scripted_last_frame();
// The most recent debug channel lines (when no sink takes them).
const std::vector<std::string>& scripted_debug_lines();
// Adds events while running (tests that react to what they see).
void scripted_push_key(uint32_t symbol, bool pressed);
void scripted_push_event(const PlatformEvent& event);
// Times the video surface was locked by drawing code.
uint64_t scripted_lock_count();
// Frames per second of the mode last opened (the scripted platform itself never waits).
int scripted_frame_rate();
// Whether the game has the audio device open, and how many frames it has rendered.
bool scripted_audio_is_open();
uint64_t scripted_audio_frames();
// Kilobytes resident, from the kernel's own count (-1 when it cannot be read).
long scripted_resident_kb();
