#include "platform/sdl_internal.h"
#include "platform/sdl_platform.h"

#include <SDL.h>

#include <atomic>
#include <string>

namespace {

constexpr int device_rate = 44100;
constexpr int device_channels = 2;
// About 12 ms: a bounce is heard within a frame or two of the picture.
constexpr int device_buffer_frames = 512;

struct SdlAudio {
    bool open = false;
    AudioRender render = nullptr;
    std::string error;
    std::atomic<SdlAudioTap> tap{nullptr};
};

SdlAudio sdl_audio;

void device_callback(void*, Uint8* stream, int length) {
    auto* frames = reinterpret_cast<int16_t*>(stream);
    const int frame_count = length / static_cast<int>(sizeof(int16_t) * device_channels);
    sdl_audio.render(frames, frame_count);
    if (SdlAudioTap tap = sdl_audio.tap.load()) {
        tap(frames, frame_count);
    }
}

} // namespace

const char* sdl_audio_open(AudioRender render) {
    if (sdl_audio.open) {
        return nullptr;
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) < 0) {
        sdl_audio.error = SDL_GetError();
        return sdl_audio.error.c_str();
    }
    SDL_AudioSpec wanted{};
    wanted.freq = device_rate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = device_channels;
    wanted.samples = device_buffer_frames;
    wanted.callback = device_callback;
    sdl_audio.render = render;
    // Nothing asked back: SDL converts to exactly this format if the hardware wants another.
    if (SDL_OpenAudio(&wanted, nullptr) < 0) {
        sdl_audio.error = SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return sdl_audio.error.c_str();
    }
    sdl_audio.open = true;
    SDL_PauseAudio(0);
    return nullptr;
}

void sdl_audio_lock() {
    if (sdl_audio.open) {
        SDL_LockAudio();
    }
}

void sdl_audio_unlock() {
    if (sdl_audio.open) {
        SDL_UnlockAudio();
    }
}

void sdl_audio_close() {
    if (!sdl_audio.open) {
        return;
    }
    SDL_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    sdl_audio.open = false;
}

void sdl_audio_set_tap(SdlAudioTap tap) {
    sdl_audio.tap.store(tap);
}
