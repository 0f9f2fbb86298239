#include "settings/settings_file.h"

#include "settings/settings_table.h"
#include "settings/settings_text.h"

#include <cstdio>
#include <cstring>

namespace {

// Every buffer holds one read of the file: at most 1023 bytes and the NUL, with room to spare.
constexpr int settings_line_read = 1024;
using SettingsText = char[settings_text_max + 1];

void text_store(SettingsText& buffer, const char* text) {
    std::snprintf(buffer, sizeof buffer, "%s", text);
}

// Splits a pair line into key and value by the first form that fits; false for any other line.
bool settings_parse_pair(const char* s, SettingsText& key, SettingsText& value) {
    return std::sscanf(s, "%1024[^=] = \"%1024[^\"]\"", key, value) == 2 ||
           std::sscanf(s, "%1024[^=] = '%1024[^']'", key, value) == 2 ||
           std::sscanf(s, "%1024[^=] = %1024[^;#]", key, value) == 2;
}

void settings_store_pair(SettingsTable* table, const char* section, const char* raw_key,
                         const char* raw_value) {
    SettingsText key;
    SettingsText value;
    text_store(key, text_trim_end(raw_key));
    text_store(key, text_lower_copy(key));
    text_store(value, text_trim_end(raw_value));
    // Two quotes with nothing between them are how a file writes an empty value.
    if (std::strcmp(value, "\"\"") == 0 || std::strcmp(value, "''") == 0) {
        value[0] = '\0';
    }
    settings_store(table, section, key, value);
}

} // namespace

void settings_store(SettingsTable* table, const char* section, const char* key, const char* value) {
    if (section == nullptr) {
        return;
    }
    if (key == nullptr) {
        settings_table_set(table, section, value);
        return;
    }
    char full_key[2048];
    std::snprintf(full_key, sizeof full_key, "%s:%s", section, key);
    settings_table_set(table, full_key, value);
}

SettingsTable* settings_load(const char* path) {
    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr) {
        report_error("cannot open file %s\n", path);
        return nullptr;
    }
    SettingsTable* table = settings_table_create(0);
    SettingsText line;
    SettingsText section = "";
    SettingsText key;
    SettingsText value;
    // Pairs above the first header belong to no section and are dropped.
    bool in_section = false;
    while (std::fgets(line, settings_line_read, file) != nullptr) {
        const char* s = text_skip_space(line);
        if (*s == '\0' || *s == ';' || *s == '#') {
            continue;
        }
        if (std::sscanf(s, "[%1024[^]]", key) == 1) {
            text_store(section, text_lower_copy(key));
            in_section = true;
            settings_store(table, section, nullptr, nullptr);
            continue;
        }
        if (in_section && settings_parse_pair(s, key, value)) {
            settings_store_pair(table, section, key, value);
        }
    }
    std::fclose(file);
    return table;
}
