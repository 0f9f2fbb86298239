// F1 and F2 open their screens from a match or from the title screen.
#include "screens/function_keys.h"

#include "app/keyboard.h"
#include "screens/overlays.h"

// F1's own guard, beside the busy mark the two screens share.
int32_t info_screen_open = 0;

void function_keys_handle() {
    if (key_state[key_f1] && !info_screen_open) {
        info_screen_open = 1;
        info_screen_run();
        info_screen_open = 0;
    }
    if (key_state[key_f2] && !overlay_busy) {
        key_screen_run();
    }
}
