// Gamepads through SDL 1.2's joystick API. sdl12-compat shows game controllers as joysticks with
// a fixed layout when SDL12COMPAT_USE_GAME_CONTROLLERS is set, which the game asks for unless
// the user chose otherwise.
#include "platform/sdl_internal.h"

#include <SDL.h>

#include <string>
#include <vector>

namespace {

struct SdlPads {
    bool started = false;
    std::vector<SDL_Joystick*> open;
    std::vector<std::string> names;
};

SdlPads sdl_pads;

} // namespace

void sdl_pads_open() {
    if (sdl_pads.started || SDL_InitSubSystem(SDL_INIT_JOYSTICK) < 0) {
        return;
    }
    sdl_pads.started = true;
    for (int i = 0; i < SDL_NumJoysticks(); ++i) {
        SDL_Joystick* pad = SDL_JoystickOpen(i);
        const char* name = SDL_JoystickName(i);
        sdl_pads.open.push_back(pad);
        sdl_pads.names.emplace_back(name != nullptr ? name : "a gamepad");
    }
    SDL_JoystickEventState(SDL_ENABLE);
}

void sdl_pads_close() {
    for (SDL_Joystick* pad : sdl_pads.open) {
        if (pad != nullptr) {
            SDL_JoystickClose(pad);
        }
    }
    if (sdl_pads.started) {
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    }
    sdl_pads = SdlPads{};
}

int32_t sdl_pad_count() {
    return static_cast<int32_t>(sdl_pads.open.size());
}

const char* sdl_pad_name(int32_t pad) {
    return sdl_pads.names[static_cast<size_t>(pad)].c_str();
}
