// F1 and F2 open their screens from a match or from the title screen.
#include "screens/function_keys.h"

#include "input/input_record.h"
#include "screens/overlays.h"

bool function_keys_handle(uint8_t keys) {
    if (overlays.overlay_busy) {
        return false;
    }
    // Each screen waits until every key is released, so F2 held with F1 is gone afterwards.
    if (keys & match_key_f1) {
        info_screen_run();
        return true;
    }
    if (keys & match_key_f2) {
        key_screen_run();
        return true;
    }
    return false;
}
