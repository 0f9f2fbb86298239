#include "platform/frame_convert.h"
#include "platform/sdl_internal.h"
#include "platform/sdl_platform.h"

#include <SDL.h>

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

using pacer_clock = std::chrono::steady_clock;

struct SdlVideo {
    bool started = false;
    SDL_Surface* screen = nullptr;
    FrameConverter converter;
    int window_scale = 0;
    int frame_rate = 60;
    bool pacing = false;
    pacer_clock::time_point next_frame;
    std::string error;
};

SdlVideo sdl_video;

void trace(const char* format, auto... arguments) {
    char line[256];
    std::snprintf(line, sizeof line, format, arguments...);
    debug_channel_write(line);
}

// The user's own choice in the environment always wins over ours.
void environment_default(const char* name, const std::string& value) {
    setenv(name, value.c_str(), 0);
}

uint32_t surface_map_rgb(void* context, uint8_t r, uint8_t g, uint8_t b) {
    return SDL_MapRGB(static_cast<SDL_PixelFormat*>(context), r, g, b);
}

void converter_prepare(SDL_Surface* screen) {
    SDL_PixelFormat* format = screen->format;
    if (format->BytesPerPixel >= 2 && format->palette == nullptr) {
        frame_converter_build(&sdl_video.converter, format->Rmask, format->Gmask, format->Bmask,
                              format->Amask, format->BytesPerPixel);
    } else {
        frame_converter_build_from(&sdl_video.converter, format->BytesPerPixel, surface_map_rgb,
                                   format);
    }
    trace("Video: %dx%dx%d surface, masks R %08X G %08X B %08X, %s\n", screen->w, screen->h,
          format->BitsPerPixel, format->Rmask, format->Gmask, format->Bmask,
          sdl_video.converter.layout == FrameLayout::identity ? "frames shown as drawn"
                                                              : "frames converted at present");
}

// Sleeps to the next frame boundary; a frame that came late starts the count afresh.
void pace_frame() {
    if (sdl_video.frame_rate <= 0) {
        return;
    }
    auto period = std::chrono::nanoseconds(1'000'000'000LL / sdl_video.frame_rate);
    auto now = pacer_clock::now();
    if (!sdl_video.pacing || now > sdl_video.next_frame + period) {
        sdl_video.pacing = true;
        sdl_video.next_frame = now + period;
        return;
    }
    if (now < sdl_video.next_frame) {
        std::this_thread::sleep_until(sdl_video.next_frame);
    }
    sdl_video.next_frame += period;
}

bool video_start(int scale) {
    environment_default("SDL12COMPAT_SYNC_TO_VBLANK", "1");
    // SDL would turn SIGINT and SIGTERM into quit events, which the game drops: Ctrl+C and a
    // session's shutdown must still end it.
    environment_default("SDL_NO_SIGNAL_HANDLERS", "1");
    if (scale > 0) {
        environment_default("SDL12COMPAT_WINDOW_SCALING", std::to_string(scale));
        environment_default("SDL12COMPAT_SCALE_METHOD", "nearest");
    }
    if (SDL_Init(SDL_INIT_VIDEO) < 0) {
        sdl_video.error = std::string("Could not initialize SDL: ") + SDL_GetError() + ".";
        return false;
    }
    sdl_video.started = true;
    return true;
}

SDL_Surface* video_mode_set(const VideoMode& mode) {
    Uint32 flags = SDL_HWSURFACE | SDL_DOUBLEBUF | (mode.fullscreen ? SDL_FULLSCREEN : 0);
    SDL_Surface* screen = SDL_SetVideoMode(mode.width, mode.height, mode.bits, flags);
    if (screen != nullptr) {
        return screen;
    }
    // sdl12-compat offers no 15-bit modes: take what the system has and convert each frame.
    trace("Video: %dx%dx%d refused (%s), asking for the system's own depth\n", mode.width,
          mode.height, mode.bits, SDL_GetError());
    for (int depth : {0, 32, 16}) {
        screen = SDL_SetVideoMode(mode.width, mode.height, depth, flags);
        if (screen != nullptr) {
            return screen;
        }
    }
    char text[160];
    std::snprintf(text, sizeof text, "Couldn't set %dx%dx%d video mode: %s", mode.width,
                  mode.height, mode.bits, SDL_GetError());
    sdl_video.error = text;
    return nullptr;
}

} // namespace

bool sdl_video_started() {
    return sdl_video.started;
}

const char* sdl_video_open(const VideoMode& mode) {
    if (!sdl_video.started && !video_start(mode.scale)) {
        return sdl_video.error.c_str();
    }
    SDL_Surface* screen = video_mode_set(mode);
    if (screen == nullptr) {
        sdl_video_close();
        return sdl_video.error.c_str();
    }
    sdl_video.screen = screen;
    sdl_video.frame_rate = mode.frame_rate;
    sdl_video.pacing = false;
    converter_prepare(screen);
    SDL_WM_SetCaption(mode.caption != nullptr ? mode.caption : "", "");
    return nullptr;
}

void sdl_video_present(const uint16_t* frame) {
    SDL_Surface* screen = sdl_video.screen;
    if (screen == nullptr) {
        return;
    }
    if (SDL_LockSurface(screen) == 0) {
        frame_convert(sdl_video.converter, frame, screen->w, screen->h,
                      static_cast<uint8_t*>(screen->pixels), screen->pitch);
        SDL_UnlockSurface(screen);
    }
    pace_frame();
    SDL_Flip(screen);
}

void sdl_video_lock() {
    if (sdl_video.screen != nullptr) {
        SDL_LockSurface(sdl_video.screen);
    }
}

void sdl_video_unlock() {
    if (sdl_video.screen != nullptr) {
        SDL_UnlockSurface(sdl_video.screen);
    }
}

void sdl_video_close() {
    if (sdl_video.started) {
        SDL_Quit();
    }
    sdl_video.screen = nullptr;
    sdl_video.started = false;
}

int sdl_video_surface_bits() {
    if (sdl_video.screen == nullptr) {
        return 0;
    }
    return sdl_video.screen->format->BitsPerPixel;
}

bool sdl_video_surface_pixel(int x, int y, uint32_t* value) {
    SDL_Surface* screen = sdl_video.screen;
    if (screen == nullptr || value == nullptr || x < 0 || y < 0 || x >= screen->w ||
        y >= screen->h) {
        return false;
    }
    int bytes = screen->format->BytesPerPixel;
    const auto* pixel = static_cast<const uint8_t*>(screen->pixels) +
                        static_cast<ptrdiff_t>(y) * screen->pitch + x * bytes;
    uint32_t result = 0;
    for (int i = bytes - 1; i >= 0; i--) {
        result = (result << 8) | pixel[i];
    }
    *value = result;
    return true;
}
