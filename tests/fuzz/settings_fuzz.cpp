// Feeds arbitrary bytes to the settings parser as a file and checks the table it builds.
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_file.h"
#include "settings/settings_file.h"
#include "settings/settings_table.h"

#include <cstdint>
#include <cstring>

namespace {

void fuzz_check_table(const SettingsTable* table) {
    fuzz_require(table->count >= 0 && table->count <= table->capacity, "count out of range");
    // Capacity starts at 1 and only doubles.
    fuzz_require((table->capacity & (table->capacity - 1)) == 0, "capacity not a power of two");
    for (int32_t i = 0; i < table->count; ++i) {
        const char* key = table->keys[i];
        fuzz_require(key != nullptr, "null key");
        fuzz_require(table->hashes[i] == settings_key_hash(key), "stale hash");
        fuzz_require(std::strlen(key) < 2048, "key too long");
        for (const char* p = key; *p != '\0'; ++p) {
            fuzz_require(*p < 'A' || *p > 'Z', "upper-case letter in key");
        }
        // Every key is its own entry: a lookup finds exactly its slot's value.
        fuzz_require(settings_table_find(table, key) == table->values[i],
                     "lookup found another entry");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* path = fuzz_file_write(data, size);
    if (path == nullptr) {
        return 0;
    }
    SettingsTable* table = settings_load(path);
    fuzz_require(table != nullptr, "an existing file did not load");
    fuzz_check_table(table);
    for (const char* key : {"general:gamespeed", "controls/redplayer:left", "general", ""}) {
        bool absent = settings_table_find(table, key) == nullptr;
        fuzz_require(!absent || settings_get_int(table, key, 12345) == 12345,
                     "absent key not default");
    }
    settings_free(table);
    return 0;
}
