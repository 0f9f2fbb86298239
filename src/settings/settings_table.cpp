#include "settings/settings_table.h"

#include "settings/settings_text.h"

#include <cstdlib>
#include <cstring>

namespace {

// The table is tiny and built once at start-up: running out of memory there is not recoverable.
void* settings_alloc_zeroed(std::size_t count, std::size_t size) {
    void* block = std::calloc(count, size);
    if (block == nullptr) {
        report_error("out of memory reading the settings");
        std::abort();
    }
    return block;
}

char* settings_copy_text(const char* text) {
    if (text == nullptr) {
        return nullptr;
    }
    std::size_t size = std::strlen(text) + 1;
    char* copy = static_cast<char*>(settings_alloc_zeroed(size, 1));
    std::memcpy(copy, text, size);
    return copy;
}

// A new zero-filled block of new_count elements holding the first old_count of block.
template <typename T> T* settings_grow_array(T* block, int32_t old_count, int32_t new_count) {
    T* grown =
        static_cast<T*>(settings_alloc_zeroed(static_cast<std::size_t>(new_count), sizeof(T)));
    std::memcpy(grown, block, static_cast<std::size_t>(old_count) * sizeof(T));
    std::free(block);
    return grown;
}

void settings_table_grow(SettingsTable* table) {
    int32_t old_capacity = table->capacity;
    if (old_capacity > INT32_MAX / 2) {
        report_error("too many settings");
        std::abort();
    }
    int32_t new_capacity = old_capacity * 2;
    table->values = settings_grow_array(table->values, old_capacity, new_capacity);
    table->keys = settings_grow_array(table->keys, old_capacity, new_capacity);
    table->hashes = settings_grow_array(table->hashes, old_capacity, new_capacity);
    table->capacity = new_capacity;
}

// Slot of key, or -1. The hash is checked first so most slots cost one comparison; the whole key
// is then compared, because two keys may share a hash and a first byte.
int32_t settings_table_slot(const SettingsTable* table, const char* key, uint32_t hash) {
    for (int32_t i = 0; i < table->count; ++i) {
        if (table->hashes[i] == hash && std::strcmp(table->keys[i], key) == 0) {
            return i;
        }
    }
    return -1;
}

} // namespace

uint32_t settings_key_hash(const char* key) {
    uint32_t hash = 0;
    for (const char* p = key; *p != '\0'; ++p) {
        // Bytes from 0x80 up count as negative, as a signed char widens.
        hash += static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(*p)));
        hash += hash << 10;
        hash ^= hash >> 6;
    }
    hash += hash << 3;
    hash ^= hash >> 11;
    hash += hash << 15;
    return hash;
}

SettingsTable* settings_table_create(int32_t capacity) {
    if (capacity < 1) {
        capacity = 1;
    }
    auto* table = static_cast<SettingsTable*>(settings_alloc_zeroed(1, sizeof(SettingsTable)));
    std::size_t slots = static_cast<std::size_t>(capacity);
    table->count = 0;
    table->capacity = capacity;
    table->values = static_cast<char**>(settings_alloc_zeroed(slots, sizeof(char*)));
    table->keys = static_cast<char**>(settings_alloc_zeroed(slots, sizeof(char*)));
    table->hashes = static_cast<uint32_t*>(settings_alloc_zeroed(slots, sizeof(uint32_t)));
    return table;
}

void settings_table_set(SettingsTable* table, const char* key, const char* value) {
    if (table == nullptr || key == nullptr) {
        return;
    }
    uint32_t hash = settings_key_hash(key);
    int32_t slot = settings_table_slot(table, key, hash);
    if (slot >= 0) {
        // A repeated key keeps its slot and takes the newer value.
        std::free(table->values[slot]);
        table->values[slot] = settings_copy_text(value);
        return;
    }
    if (table->count == table->capacity) {
        settings_table_grow(table);
    }
    slot = table->count;
    table->keys[slot] = settings_copy_text(key);
    table->values[slot] = settings_copy_text(value);
    table->hashes[slot] = hash;
    table->count = slot + 1;
}

const char* settings_table_find(const SettingsTable* table, const char* key) {
    if (table == nullptr || key == nullptr) {
        return nullptr;
    }
    int32_t slot = settings_table_slot(table, key, settings_key_hash(key));
    return slot >= 0 ? table->values[slot] : nullptr;
}

void settings_free(SettingsTable* table) {
    if (table == nullptr) {
        return;
    }
    for (int32_t i = 0; i < table->count; ++i) {
        std::free(table->values[i]);
        std::free(table->keys[i]);
    }
    std::free(table->values);
    std::free(table->keys);
    std::free(table->hashes);
    std::free(table);
}

int32_t settings_get_int(const SettingsTable* table, const char* key, int32_t fallback) {
    const char* value = settings_table_find(table, key);
    if (value == nullptr) {
        return fallback;
    }
    // atoi's reading, but a number beyond the 32-bit range saturates instead of being undefined.
    long long number = std::strtoll(value, nullptr, 10);
    if (number > INT32_MAX) {
        return INT32_MAX;
    }
    if (number < INT32_MIN) {
        return INT32_MIN;
    }
    return static_cast<int32_t>(number);
}
