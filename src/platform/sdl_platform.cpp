#include "platform/sdl_platform.h"

#include "platform/notice_dialog.h"
#include "platform/sdl_internal.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>

namespace {

uint32_t sdl_clock_ticks() {
    return SDL_GetTicks();
}

void sdl_clock_sleep(uint32_t ms) {
    SDL_Delay(ms);
}

// Opened per line so that the file can be followed, moved or changed between runs.
void sdl_debug_write(const char* text) {
    const char* path = std::getenv("ZORBIT_DEBUG_LOG");
    if (path == nullptr || path[0] == '\0') {
        return;
    }
    if (std::FILE* file = std::fopen(path, "a")) {
        std::fputs(text, file);
        std::fclose(file);
    }
}

constexpr Platform sdl = {
    sdl_clock_ticks,   sdl_clock_sleep, sdl_event_poll,     sdl_video_open,
    sdl_video_present, sdl_video_lock,  sdl_video_unlock,   sdl_video_close,
    sdl_audio_open,    sdl_audio_lock,  sdl_audio_unlock,   sdl_audio_close,
    sdl_pad_count,     sdl_pad_name,    notice_dialog_show, sdl_debug_write,
};

} // namespace

const Platform* sdl_platform() {
    return &sdl;
}
