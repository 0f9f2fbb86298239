#include "app/utility.h"

#include "app/display.h"
#include "platform/clock.h"
#include "platform/debug_channel.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace {

// The classic runtime generator: 15-bit results, the same fixed start on every run.
constexpr uint32_t random_start = 1;
uint32_t random_state = random_start;

int32_t random_next() {
    random_state = random_state * 214013u + 2531011u;
    return static_cast<int32_t>((random_state >> 16) & 0x7FFF);
}

} // namespace

void delay_ms(uint32_t ms) {
    clock_sleep(ms);
}

void fatal_exit(int status) {
    display_close();
    std::exit(status);
}

void debug_log(const char* format, ...) {
    if (format == nullptr) {
        return;
    }
    // Longer messages are cut, never written past the buffer.
    char line[256];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(line, sizeof line, format, arguments);
    va_end(arguments);
    debug_channel_write(line);
}

int32_t random_below(int32_t n) {
    // Wide product: the 32-bit one overflows for n above 65536.
    return static_cast<int32_t>(static_cast<int64_t>(random_next()) * n / 32768);
}

void random_reset() {
    random_state = random_start;
}
