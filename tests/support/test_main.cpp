// The main of every test program: headless SDL drivers, and the sanitizers' settings built in,
// so a test behaves the same from ctest, from a shell, or under a debugger.
#include <gtest/gtest.h>

#include <cstdlib>

extern "C" {
const char* __asan_default_options() {
    return "halt_on_error=1:detect_leaks=1";
}
const char* __lsan_default_options() {
    return "suppressions=" ZORBIT_SOURCE_DIR "/tests/lsan.supp:print_suppressions=0";
}
const char* __ubsan_default_options() {
    return "halt_on_error=1:print_stacktrace=1";
}
}

int main(int argc, char** argv) {
    // The user's own choice wins, as it does for the game.
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
