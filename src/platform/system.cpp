#include "platform/system.h"

#include "platform/platform.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int line_length = 256;

void line_format(char (&line)[line_length], const char* format, va_list arguments) {
    std::vsnprintf(line, sizeof line, format, arguments);
}

} // namespace

void delay_ms(uint32_t ms) {
    clock_sleep(ms);
}

void debug_log(const char* format, ...) {
    if (format == nullptr) {
        return;
    }
    char line[line_length];
    va_list arguments;
    va_start(arguments, format);
    line_format(line, format, arguments);
    va_end(arguments);
    debug_channel_write(line);
}

void fatal_exit(int status) {
    // The mixer thread must be gone before exit tears down what it reads.
    audio_device_close();
    video_close();
    std::exit(status);
}

void fatal_error(int status, const char* format, ...) {
    char line[line_length];
    va_list arguments;
    va_start(arguments, format);
    line_format(line, format, arguments);
    va_end(arguments);
    notice_show(line, "Zorbit");
    fatal_exit(status);
}

void warning(const char* format, ...) {
    char line[line_length];
    va_list arguments;
    va_start(arguments, format);
    line_format(line, format, arguments);
    va_end(arguments);
    std::fprintf(stderr, "Zorbit: %s\n", line);
    std::fflush(stderr);
}
