// Stand-in until the overlay screens land.
#include "screens/function_keys.h"

int32_t info_screen_open = 0;

void function_keys_handle() {}
