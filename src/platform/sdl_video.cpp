#include "platform/frame.h"
#include "platform/frame_convert.h"
#include "platform/frame_png.h"
#include "platform/paths.h"
#include "platform/sdl_internal.h"
#include "platform/sdl_platform.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

namespace {

using pacer_clock = std::chrono::steady_clock;

struct SdlVideo {
    bool started = false;
    SDL_Surface* screen = nullptr;
    FrameConverter converter;
    int window_scale = 1;
    bool fullscreen = false;
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

// SDL falls back to drawing off-screen when it finds no display; unless the user asked for such
// a driver, the game would run invisibly.
const char* display_missing() {
    char name[32] = "";
    SDL_VideoDriverName(name, sizeof name);
    const std::string driver = name;
    const char* asked = std::getenv("SDL_VIDEODRIVER");
    if ((driver != "offscreen" && driver != "dummy") || (asked != nullptr && driver == asked)) {
        return nullptr;
    }
    sdl_video.error = "no display: SDL found no screen to draw on (" + driver +
                      " driver); is DISPLAY or WAYLAND_DISPLAY set?";
    return sdl_video.error.c_str();
}

bool video_start() {
    environment_default("SDL12COMPAT_SYNC_TO_VBLANK", "1");
    // SIGINT and SIGTERM end the game through our own handler, as the close button does.
    environment_default("SDL_NO_SIGNAL_HANDLERS", "1");
    environment_default("SDL12COMPAT_USE_GAME_CONTROLLERS", "1");
    if (SDL_Init(SDL_INIT_VIDEO) < 0) {
        sdl_video.error = std::string("Could not initialize SDL: ") + SDL_GetError() + ".";
        return false;
    }
    sdl_video.started = true;
    return true;
}

// The largest whole factor of 320 x 200 that fits the desktop; 0 when its size is unknown.
int scale_largest(int width, int height) {
    const SDL_VideoInfo* info = SDL_GetVideoInfo();
    if (info == nullptr || info->current_w <= 0 || info->current_h <= 0) {
        return 0;
    }
    return std::max(1, std::min(info->current_w / width, info->current_h / height));
}

// Asked for 0 or less: the largest; more than fits: the largest, with a word on stderr.
void scale_choose(const VideoMode& mode) {
    const int largest = scale_largest(mode.width, mode.height);
    int scale = mode.scale;
    if (largest > 0 && (scale <= 0 || scale > largest)) {
        if (scale > largest) {
            std::fprintf(stderr, "Zorbit: a scale of %d does not fit the desktop; using %d\n",
                         scale, largest);
        }
        scale = largest;
    }
    sdl_video.window_scale = std::max(scale, 1);
    environment_default("SDL12COMPAT_WINDOW_SCALING", std::to_string(sdl_video.window_scale));
    environment_default("SDL12COMPAT_SCALE_METHOD", "nearest");
}

void icon_set(const VideoMode& mode) {
    if (mode.icon == nullptr || mode.icon_width <= 0 || mode.icon_height <= 0) {
        return;
    }
    SDL_Surface* icon = SDL_CreateRGBSurfaceFrom(
        const_cast<uint16_t*>(mode.icon), mode.icon_width, mode.icon_height, 16,
        mode.icon_width * 2, rgb555_red_mask, rgb555_green_mask, rgb555_blue_mask, 0);
    if (icon != nullptr) {
        SDL_SetColorKey(icon, SDL_SRCCOLORKEY, 0);
        SDL_WM_SetIcon(icon, nullptr);
        SDL_FreeSurface(icon);
    }
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
    if (!sdl_video.started && !video_start()) {
        return sdl_video.error.c_str();
    }
    if (const char* missing = display_missing()) {
        sdl_video_close();
        return missing;
    }
    scale_choose(mode);
    icon_set(mode);
    sdl_signals_catch();
    sdl_pads_open();
    SDL_Surface* screen = video_mode_set(mode);
    if (screen == nullptr) {
        sdl_video_close();
        return sdl_video.error.c_str();
    }
    sdl_video.screen = screen;
    sdl_video.fullscreen = mode.fullscreen;
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
    sdl_pads_close();
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

void sdl_video_toggle_fullscreen() {
    if (sdl_video.screen != nullptr && SDL_WM_ToggleFullScreen(sdl_video.screen) != 0) {
        sdl_video.fullscreen = !sdl_video.fullscreen;
        trace("Video: %s\n", sdl_video.fullscreen ? "full screen" : "windowed");
    }
}

namespace {

// The shown frame read back from the surface: each channel's top five bits are the game's own.
std::vector<uint16_t> surface_frame() {
    std::vector<uint16_t> frame(frame_pixels, 0);
    SDL_Surface* screen = sdl_video.screen;
    const int width = std::min(screen->w, int(frame_width));
    const int height = std::min(screen->h, int(frame_height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint32_t value = 0;
            sdl_video_surface_pixel(x, y, &value);
            Uint8 r = 0, g = 0, b = 0;
            SDL_GetRGB(value, screen->format, &r, &g, &b);
            frame[y * frame_width + x] =
                static_cast<uint16_t>((r >> 3) << 10 | (g >> 3) << 5 | b >> 3);
        }
    }
    return frame;
}

// The pictures folder, or the user's data folder when that cannot be made.
std::string screenshot_folder() {
    for (UserFolder which : {UserFolder::pictures, UserFolder::data}) {
        const std::string folder = user_folder(which);
        if (!folder.empty() && folder_make(folder, nullptr)) {
            return folder;
        }
    }
    return "";
}

std::string screenshot_path(const std::string& folder) {
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d-%H%M%S", std::localtime(&now));
    std::string path = folder + "/zorbit-" + stamp + ".png";
    for (int n = 2; file_exists(path); ++n) {
        path = folder + "/zorbit-" + stamp + "-" + std::to_string(n) + ".png";
    }
    return path;
}

} // namespace

void sdl_video_screenshot() {
    if (sdl_video.screen == nullptr || SDL_LockSurface(sdl_video.screen) != 0) {
        std::fprintf(stderr, "Zorbit: no screenshot: the picture cannot be read back\n");
        return;
    }
    const std::vector<uint16_t> frame = surface_frame();
    SDL_UnlockSurface(sdl_video.screen);
    const std::string folder = screenshot_folder();
    const std::string path = screenshot_path(folder);
    if (folder.empty() || !frame_write_png(frame.data(), path.c_str(), sdl_video.window_scale)) {
        std::fprintf(stderr, "Zorbit: cannot save a screenshot in %s\n", folder.c_str());
        return;
    }
    std::printf("Zorbit: screenshot saved as %s\n", path.c_str());
    std::fflush(stdout);
}
