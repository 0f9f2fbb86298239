#include "platform/clock.h"

#include "platform/scripted.h"
#include "platform/scripted_backend.h"

#include <SDL.h>

uint32_t clock_ticks() {
    if (scripted_active()) {
        return scripted_clock_ticks();
    }
    return SDL_GetTicks();
}

void clock_sleep(uint32_t ms) {
    if (scripted_active()) {
        scripted_clock_sleep(ms);
        return;
    }
    SDL_Delay(ms);
}
