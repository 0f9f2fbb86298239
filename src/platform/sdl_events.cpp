#include "platform/events.h"

#include "platform/scripted.h"
#include "platform/scripted_backend.h"
#include "platform/sdl_video_state.h"

#include <SDL.h>

bool events_poll(KeyEvent* event) {
    if (scripted_active()) {
        return scripted_events_poll(event);
    }
    // Without the video subsystem there is no event queue to read.
    if (!sdl_video_started) {
        return false;
    }
    SDL_Event sdl_event;
    while (SDL_PollEvent(&sdl_event)) {
        if (sdl_event.type == SDL_KEYDOWN || sdl_event.type == SDL_KEYUP) {
            event->pressed = sdl_event.type == SDL_KEYDOWN;
            event->symbol = static_cast<uint32_t>(sdl_event.key.keysym.sym);
            return true;
        }
        // The close button and every other event are dropped: only Escape ends the game.
    }
    return false;
}
