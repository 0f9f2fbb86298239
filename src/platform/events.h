#pragma once
// Keyboard events in SDL 1.2 key symbols. Every other event is dropped by the platform.
#include <cstdint>

struct KeyEvent {
    bool pressed;    // true for key-down, false for key-up
    uint32_t symbol; // SDL 1.2 key symbol, not yet reduced modulo 512
};

// Takes the next key event from the queue; false when the queue is empty.
bool events_poll(KeyEvent* event);
