#pragma once
// The settings dictionary: section:key strings mapped to value strings.
#include <cstdint>

struct SettingsTable {
    int32_t count;
    int32_t capacity;
    char** values;
    char** keys;
    uint32_t* hashes;
};

uint32_t settings_key_hash(const char* key);
SettingsTable* settings_table_create(int32_t capacity);
void settings_table_set(SettingsTable* table, const char* key, const char* value);
const char* settings_table_find(const SettingsTable* table, const char* key);
int32_t settings_get_int(const SettingsTable* table, const char* key, int32_t fallback);
void settings_free(SettingsTable* table);
