// Stand-in until the real title screen lands: the title picture, any key starts, Escape quits.
#include "screens/title.h"

#include "app/display.h"
#include "app/keyboard.h"
#include "app/utility.h"
#include "gfx/bitmap.h"
#include "match/match_loop.h"
#include "match/setup.h"

void title_screen_run() {
    bitmap_put(title_picture, 0, 0);
    display_present(back_buffer);
    while (count_held_keys() == 0) {
        pump_events();
        delay_ms(10);
    }
    if (key_state[key_escape]) {
        program_exit();
    }
    wait_keys_released();
}
