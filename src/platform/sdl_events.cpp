// SDL's events as the game's: keys, the close button and the signals that ask the program to
// end. Alt+Enter and PrintScreen are the window's own and never reach the game.
#include "platform/sdl_internal.h"

#include <SDL.h>

#include <csignal>
#include <deque>

namespace {

// An Alt press is held back until it is clear whether Enter follows.
constexpr uint32_t alt_hold_ms = 250;

struct SdlEvents {
    std::deque<PlatformEvent> ready;
    bool alt_held_back = false;
    SDL_keysym alt_key{};
    uint32_t alt_since = 0;
    bool alt_used = false; // for Alt+Enter: its release is swallowed too
    bool enter_swallowed = false;
};

SdlEvents sdl_events;
volatile std::sig_atomic_t quit_signalled = 0;

void quit_signal(int) {
    quit_signalled = 1;
}

PlatformEvent key_event(const SDL_keysym& key, bool pressed) {
    return PlatformEvent{pressed ? PlatformEventType::key_down : PlatformEventType::key_up,
                         static_cast<uint32_t>(key.sym), 0, 0, 0};
}

bool key_is_alt(SDLKey sym) {
    return sym == SDLK_LALT || sym == SDLK_RALT;
}

bool key_is_enter(SDLKey sym) {
    return sym == SDLK_RETURN || sym == SDLK_KP_ENTER;
}

void alt_release_held() {
    if (sdl_events.alt_held_back) {
        sdl_events.ready.push_back(key_event(sdl_events.alt_key, true));
        sdl_events.alt_held_back = false;
    }
}

// True when the window takes the key for itself.
bool window_key(const SDL_KeyboardEvent& key, bool pressed) {
    const SDLKey sym = key.keysym.sym;
    if (sym == SDLK_PRINT) {
        if (pressed) {
            sdl_video_screenshot();
        }
        return true;
    }
    if (key_is_enter(sym) && pressed &&
        (sdl_events.alt_held_back || (key.keysym.mod & KMOD_ALT) != 0)) {
        sdl_events.alt_used = sdl_events.alt_held_back;
        sdl_events.alt_held_back = false;
        sdl_events.enter_swallowed = true;
        sdl_video_toggle_fullscreen();
        return true;
    }
    if (key_is_enter(sym) && !pressed && sdl_events.enter_swallowed) {
        sdl_events.enter_swallowed = false;
        return true;
    }
    return false;
}

void key_take(const SDL_KeyboardEvent& key, bool pressed) {
    if (window_key(key, pressed)) {
        return;
    }
    if (key_is_alt(key.keysym.sym) && pressed && !sdl_events.alt_held_back) {
        sdl_events.alt_held_back = true;
        sdl_events.alt_key = key.keysym;
        sdl_events.alt_since = SDL_GetTicks();
        return;
    }
    if (key_is_alt(key.keysym.sym) && !pressed && sdl_events.alt_used) {
        sdl_events.alt_used = false;
        return;
    }
    alt_release_held();
    sdl_events.ready.push_back(key_event(key.keysym, pressed));
}

PlatformEvent pad_event(PlatformEventType type, uint8_t pad, uint8_t control, uint32_t symbol,
                        int16_t value) {
    return PlatformEvent{type, symbol, pad, control, value};
}

void pad_take(const SDL_Event& event) {
    std::deque<PlatformEvent>& ready = sdl_events.ready;
    switch (event.type) {
    case SDL_JOYAXISMOTION:
        ready.push_back(pad_event(PlatformEventType::pad_axis, event.jaxis.which, event.jaxis.axis,
                                  0, event.jaxis.value));
        break;
    case SDL_JOYHATMOTION:
        ready.push_back(pad_event(PlatformEventType::pad_hat, event.jhat.which, event.jhat.hat, 0,
                                  event.jhat.value));
        break;
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP:
        ready.push_back(pad_event(event.type == SDL_JOYBUTTONDOWN
                                      ? PlatformEventType::pad_button_down
                                      : PlatformEventType::pad_button_up,
                                  event.jbutton.which, 0, event.jbutton.button, 0));
        break;
    default:
        break;
    }
}

void sdl_events_drain() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (event.type == SDL_KEYDOWN || event.type == SDL_KEYUP) {
            key_take(event.key, event.type == SDL_KEYDOWN);
        } else if (event.type == SDL_QUIT) {
            quit_signalled = 1;
        } else {
            pad_take(event);
        }
    }
    // Alt held on its own is a key like any other, once it is clear no Enter follows.
    if (sdl_events.alt_held_back && SDL_GetTicks() - sdl_events.alt_since >= alt_hold_ms) {
        alt_release_held();
    }
}

} // namespace

void sdl_signals_catch() {
    struct sigaction action {};
    action.sa_handler = quit_signal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool sdl_event_poll(PlatformEvent* event) {
    // Without the video subsystem there is no event queue to read.
    if (sdl_events.ready.empty() && sdl_video_started()) {
        sdl_events_drain();
    }
    if (quit_signalled) {
        quit_signalled = 0;
        *event = PlatformEvent{PlatformEventType::quit, 0, 0, 0, 0};
        return true;
    }
    if (sdl_events.ready.empty()) {
        return false;
    }
    *event = sdl_events.ready.front();
    sdl_events.ready.pop_front();
    return true;
}
