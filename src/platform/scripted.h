#pragma once
// The scripted backend: a virtual clock, a script of key events and a capture of every frame.
// Once started it replaces SDL for the clock, events, video and notices; the game cannot tell.
#include <cstdint>
#include <string>
#include <vector>

struct ScriptedKey {
    uint32_t tick;   // virtual millisecond at which the event is delivered
    uint32_t symbol; // SDL 1.2 key symbol
    bool pressed;
};

struct ScriptedSetup {
    std::vector<ScriptedKey> keys;
    uint32_t frame_ms = 16;                // virtual time each present takes
    uint32_t time_limit_ms = 0;            // 0: none; past it the process ends with status 3
    std::string snapshot_pattern;          // e.g. "frame_%06d.png"; empty: no snapshots
    std::vector<uint64_t> snapshot_frames; // frame numbers (from 0) written as PNG
};

void scripted_start(const ScriptedSetup& setup);
void scripted_stop();
bool scripted_active();

uint64_t scripted_frame_count();
// FNV-1a 64 of each presented frame's 128000 bytes, in order.
const std::vector<uint64_t>& scripted_frame_hashes();
// The last presented frame (320 x 200 RGB555).
const std::vector<uint16_t>& scripted_last_frame();
// Notices shown so far, as "caption: text".
const std::vector<std::string>& scripted_notices();
// Adds key events while running (tests that react to what they see).
void scripted_push_key(uint32_t symbol, bool pressed);
// Lines written to the debug channel while running.
const std::vector<std::string>& scripted_debug_lines();
// Times the video surface was locked by drawing code (video_lock).
uint64_t scripted_lock_count();
// Frames per second last asked of the pacer (the scripted backend itself never waits).
int scripted_frame_rate();
// FNV-1a 64 of a 320 x 200 frame's bytes in memory order (little-endian pixels).
uint64_t frame_hash(const uint16_t* frame);
// Writes a 320 x 200 RGB555 frame as a PNG; false on failure.
bool frame_write_png(const uint16_t* frame, const char* path);
