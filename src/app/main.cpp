#include "app/startup.h"
#include "platform/sdl_platform.h"

int main(int, char**) {
    platform_use(sdl_platform());
    return startup_main();
}
