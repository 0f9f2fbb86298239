// gfxdemo [seconds]: a test card drawn in RGB555, presented in a scaled window until Escape
// or until the given number of seconds (0 or none: until Escape) has passed.
#include "gfx/bitmap.h"
#include "gfx/display.h"
#include "gfx/sprite.h"
#include "input/keyboard.h"
#include "platform/sdl_platform.h"
#include "settings/game_settings.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

uint16_t rgb(int red, int green, int blue) {
    return static_cast<uint16_t>(red << 10 | green << 5 | blue);
}

// Channel ramps, colour bars and a white frame whose edges show the window's true extent.
void card_draw(uint16_t* frame) {
    for (int y = 0; y < frame_height; y++) {
        for (int x = 0; x < frame_width; x++) {
            uint16_t pixel = 0;
            int level = x * 32 / frame_width;
            if (y < 40) {
                pixel = rgb(level, 0, 0);
            } else if (y < 80) {
                pixel = rgb(0, level, 0);
            } else if (y < 120) {
                pixel = rgb(0, 0, level);
            } else if (y < 160) {
                pixel = rgb(level, level, level);
            } else {
                const uint16_t bars[] = {rgb(31, 31, 31), rgb(31, 31, 0), rgb(0, 31, 31),
                                         rgb(0, 31, 0),   rgb(31, 0, 31), rgb(31, 0, 0),
                                         rgb(0, 0, 31),   rgb(0, 0, 0)};
                pixel = bars[x / 40];
            }
            if (x == 0 || y == 0 || x == frame_width - 1 || y == frame_height - 1) {
                pixel = rgb(31, 31, 31);
            }
            frame[y * frame_width + x] = pixel;
        }
    }
}

// A ball like the game's bodies: bright middle, dark blended rim.
Bitmap* ball_make() {
    Bitmap* ball = nullptr;
    bitmap_create(&ball, 24, 24);
    for (int y = 0; y < 24; y++) {
        for (int x = 0; x < 24; x++) {
            int dx = 2 * x - 23;
            int dy = 2 * y - 23;
            int distance = dx * dx + dy * dy;
            ball->pixels[y * 24 + x] = distance < 300   ? rgb(31, 28, 8)
                                       : distance < 576 ? rgb(6, 5, 1)
                                                        : 0;
        }
    }
    return ball;
}

} // namespace

int main(int argc, char** argv) {
    long seconds = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 0;
    platform_use(sdl_platform());
    game_settings_reset();
    display_open(320, 200, 15, 0);
    std::vector<uint16_t> frame(frame_pixels);
    display_set_target(frame.data());
    pixel_format_init();
    card_draw(frame.data());
    Bitmap* ball = ball_make();
    Bitmap* save = nullptr;
    bitmap_create(&save, 24, 24);

    const uint32_t start = clock_ticks();
    int x = 20;
    int dx = 2;
    for (;;) {
        // Save-under: grab, draw, present, put back.
        bitmap_grab(save, static_cast<uint16_t>(x), 88, static_cast<uint16_t>(x + 23), 111);
        bitmap_put_alpha(ball, static_cast<int16_t>(x), 88);
        display_present(frame.data());
        bitmap_put(save, static_cast<uint16_t>(x), 88);
        x += dx;
        if (x < 2 || x > 294) {
            dx = -dx;
        }
        pump_events();
        if (key_state[key_escape]) {
            break;
        }
        if (seconds > 0 && clock_ticks() - start >= static_cast<uint32_t>(seconds) * 1000) {
            break;
        }
    }
    bitmap_free(save);
    bitmap_free(ball);
    display_close();
    std::printf("gfxdemo: %s\n", key_state[key_escape] ? "escape" : "time");
    return 0;
}
