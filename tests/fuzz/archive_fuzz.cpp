// Opens a fuzzed archive and sizes, loads and releases its entries, twice for the first ones
// so that shared loads and external entries are exercised too, then loads each as a picture.
#include <cstdint>

#include "fuzz/fuzz_file.h"
#include "gfx/image.h"
#include "resources/archive.h"

constexpr int32_t max_entries = 64;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* path = fuzz_file_write(data, size);
    if (path && archive_open(path)) {
        const int32_t count = archive_entry_count();
        for (int32_t index = -1; index <= count && index < max_entries; ++index) {
            const int32_t length = archive_entry_size(index);
            const uint8_t* first = archive_load_entry(index);
            if (first) {
                // Touch every byte, so a buffer shorter than the size shows up.
                volatile uint8_t sum = 0;
                for (int32_t i = 0; i < length; ++i) {
                    sum = uint8_t(sum + first[i]);
                }
                if (archive_load_entry(index) != first) {
                    __builtin_trap();
                }
                archive_release_entry(index);
            }
            archive_release_entry(index);
            image_release(image_load(index), index);
        }
        // Leave some entries held, as the game does, for close to free.
        archive_load_entry(0);
    }
    archive_close();
    return 0;
}
