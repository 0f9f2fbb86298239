#include "platform/debug_channel.h"

#include "platform/scripted.h"
#include "platform/scripted_backend.h"

#include <cstdio>
#include <cstdlib>

void debug_channel_write(const char* text) {
    if (text == nullptr) {
        return;
    }
    if (scripted_active()) {
        scripted_debug_record(text);
    }
    // Opened per line so that the file can be followed, moved or changed between runs of a test.
    const char* path = std::getenv("ZORBIT_DEBUG_LOG");
    if (path == nullptr || path[0] == '\0') {
        return;
    }
    std::FILE* file = std::fopen(path, "a");
    if (file == nullptr) {
        return;
    }
    std::fputs(text, file);
    std::fclose(file);
}
