#include "app/startup.h"
#include "platform/sdl_platform.h"

int main(int argc, char** argv) {
    platform_use(sdl_platform());
    return startup_main(argc, argv);
}
