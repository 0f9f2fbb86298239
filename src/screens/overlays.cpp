// Stand-ins until the overlay screens land: F1 and F2 do nothing yet.
#include "screens/overlays.h"

int32_t overlay_busy = 0;

void info_screen_run() {}
void key_screen_run() {}
