#include "settings/settings_text.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

// Copies at most settings_text_max bytes of s into buffer and terminates it; returns the length.
std::size_t text_copy_bounded(char* buffer, const char* s) {
    std::size_t length = strnlen(s, settings_text_max);
    std::memcpy(buffer, s, length);
    buffer[length] = '\0';
    return length;
}

bool text_is_space(char c) {
    // Not isspace: the locale must not make bytes from 0x80 up count as blanks.
    return c == ' ' || (c >= '\t' && c <= '\r');
}

} // namespace

const char* text_skip_space(const char* s) {
    if (s == nullptr) {
        return nullptr;
    }
    while (text_is_space(*s)) {
        ++s;
    }
    return s;
}

const char* text_trim_end(const char* s) {
    static char buffer[settings_text_max + 1];
    if (s == nullptr) {
        return nullptr;
    }
    std::size_t length = text_copy_bounded(buffer, s);
    while (length > 0 && text_is_space(buffer[length - 1])) {
        --length;
    }
    buffer[length] = '\0';
    return buffer;
}

const char* text_lower_copy(const char* s) {
    static char buffer[settings_text_max + 1];
    if (s == nullptr) {
        return nullptr;
    }
    std::size_t length = text_copy_bounded(buffer, s);
    for (std::size_t i = 0; i < length; ++i) {
        // Only ASCII letters fold; bytes from 0x80 up stay as they are in every locale.
        if (buffer[i] >= 'A' && buffer[i] <= 'Z') {
            buffer[i] = static_cast<char>(buffer[i] - 'A' + 'a');
        }
    }
    return buffer;
}

void report_error(const char* format, ...) {
    std::fputs("*** error: ", stderr);
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
    std::fputs("\n", stderr);
}
