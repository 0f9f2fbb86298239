#pragma once
// The settings file parser: sections, key = value pairs, comments.
struct SettingsTable;

SettingsTable* settings_load(const char* path);
void settings_store(SettingsTable* table, const char* section, const char* key, const char* value);
