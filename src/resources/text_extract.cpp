#include "resources/text_extract.h"

#include <cstdio>
#include <vector>

#include "resources/archive.h"
#include "resources/entry_format.h"

void archive_extract_text(int32_t index, const char* path) {
    const int32_t size = archive_entry_size(index);
    if (size < 0 || !path) {
        return;
    }
    const uint8_t* stored = archive_load_entry(index);
    if (!stored) {
        return;
    }
    std::vector<uint8_t> text(stored, stored + size);
    archive_release_entry(index);
    text_decode_in_place(text);
    // Nothing to report at start-up: a text that cannot be written is simply not there.
    std::FILE* file = std::fopen(path, "wb");
    if (!file) {
        return;
    }
    if (!text.empty()) {
        std::fwrite(text.data(), 1, text.size(), file);
    }
    std::fclose(file);
}
