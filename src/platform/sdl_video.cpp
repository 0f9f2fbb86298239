#include "platform/video.h"

#include "platform/debug_channel.h"
#include "platform/frame_convert.h"
#include "platform/scripted.h"
#include "platform/scripted_backend.h"
#include "platform/sdl_video_state.h"

#include <SDL.h>

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

bool sdl_video_started = false;

namespace {

using pacer_clock = std::chrono::steady_clock;

struct SdlVideo {
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

} // namespace

void video_set_window_scale(int scale) {
    sdl_video.window_scale = scale;
}

bool video_start() {
    if (scripted_active()) {
        return true;
    }
    environment_default("SDL12COMPAT_SYNC_TO_VBLANK", "1");
    if (sdl_video.window_scale > 0) {
        environment_default("SDL12COMPAT_WINDOW_SCALING", std::to_string(sdl_video.window_scale));
        environment_default("SDL12COMPAT_SCALE_METHOD", "nearest");
    }
    if (SDL_Init(SDL_INIT_VIDEO) < 0) {
        sdl_video.error = SDL_GetError();
        return false;
    }
    sdl_video_started = true;
    return true;
}

bool video_open(int width, int height, int bits, bool fullscreen) {
    if (scripted_active()) {
        return true;
    }
    Uint32 flags = SDL_HWSURFACE | SDL_DOUBLEBUF | (fullscreen ? SDL_FULLSCREEN : 0);
    SDL_Surface* screen = SDL_SetVideoMode(width, height, bits, flags);
    if (screen == nullptr) {
        // sdl12-compat offers no 15-bit modes: take what the system has and convert each frame.
        sdl_video.error = SDL_GetError();
        trace("Video: %dx%dx%d refused (%s), asking for the system's own depth\n", width, height,
              bits, sdl_video.error.c_str());
        for (int depth : {0, 32, 16}) {
            screen = SDL_SetVideoMode(width, height, depth, flags);
            if (screen != nullptr) {
                break;
            }
        }
    }
    if (screen == nullptr) {
        return false;
    }
    sdl_video.screen = screen;
    sdl_video.pacing = false;
    converter_prepare(screen);
    return true;
}

const char* video_error() {
    return sdl_video.error.c_str();
}

void video_set_caption(const char* title, const char* icon) {
    if (scripted_active() || !sdl_video_started) {
        return;
    }
    SDL_WM_SetCaption(title, icon);
}

int video_surface_bits() {
    if (sdl_video.screen == nullptr) {
        return 0;
    }
    return sdl_video.screen->format->BitsPerPixel;
}

void video_present(const uint16_t* frame) {
    if (scripted_active()) {
        scripted_video_present(frame);
        return;
    }
    SDL_Surface* screen = sdl_video.screen;
    if (screen == nullptr || frame == nullptr) {
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

void video_lock() {
    if (scripted_active()) {
        scripted_video_lock();
        return;
    }
    if (sdl_video.screen != nullptr) {
        SDL_LockSurface(sdl_video.screen);
    }
}

void video_unlock() {
    if (scripted_active()) {
        return;
    }
    if (sdl_video.screen != nullptr) {
        SDL_UnlockSurface(sdl_video.screen);
    }
}

void video_stop() {
    if (scripted_active()) {
        return;
    }
    if (sdl_video_started) {
        SDL_Quit();
    }
    sdl_video.screen = nullptr;
    sdl_video_started = false;
}

void video_set_frame_rate(int frames_per_second) {
    scripted_video_frame_rate(frames_per_second);
    sdl_video.frame_rate = frames_per_second;
    sdl_video.pacing = false;
}

bool video_surface_pixel(int x, int y, uint32_t* value) {
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
