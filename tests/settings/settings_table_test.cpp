// The settings dictionary: slots, replacement and the integer lookup (growth is every file's).
#include "settings/settings_table.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

class SettingsTableTest : public ::testing::Test {
  protected:
    void TearDown() override { settings_free(table); }
    SettingsTable* table = settings_table_create(0);
};

TEST_F(SettingsTableTest, RepeatedKeyKeepsItsSlotAndTakesTheLaterValue) {
    settings_table_set(table, "general:gamelength", "84");
    settings_table_set(table, "general:gamespeed", "10");
    settings_table_set(table, "general:gamelength", "120");
    EXPECT_EQ(table->count, 2);
    EXPECT_STREQ(table->keys[0], "general:gamelength");
    EXPECT_STREQ(settings_table_find(table, "general:gamelength"), "120");
    // Lookups are exact and case-sensitive: the parser has already folded the keys.
    for (const char* other :
         {"General:GameLength", "general:gamelengt", "general:gamelength ", ""}) {
        EXPECT_EQ(settings_table_find(table, other), nullptr) << '"' << other << '"';
    }
}

// Both pairs share a hash and a first byte (found by search with a separate one-at-a-time hash
// script). They must stay two entries: a lookup of one may never answer with the other's value.
TEST_F(SettingsTableTest, KeysSharingHashAndFirstByteStayApart) {
    ASSERT_EQ(settings_key_hash("kfbea"), settings_key_hash("kjmae"));
    ASSERT_EQ(settings_key_hash("general:ghaa"), settings_key_hash("general:kkue"));
    settings_table_set(table, "kfbea", "first");
    settings_table_set(table, "kjmae", "second");
    settings_table_set(table, "general:kkue", "third");
    EXPECT_EQ(table->count, 3);
    EXPECT_STREQ(settings_table_find(table, "kfbea"), "first");
    EXPECT_STREQ(settings_table_find(table, "kjmae"), "second");
    EXPECT_STREQ(settings_table_find(table, "general:kkue"), "third");
    EXPECT_EQ(settings_table_find(table, "general:ghaa"), nullptr);
    settings_table_set(table, "kjmae", "replaced");
    EXPECT_STREQ(settings_table_find(table, "kfbea"), "first");
    EXPECT_STREQ(settings_table_find(table, "kjmae"), "replaced");
    EXPECT_EQ(table->count, 3);
}

TEST_F(SettingsTableTest, NullKeysNegativeSizesAndSectionEntries) {
    SettingsTable* negative = settings_table_create(-5);
    settings_table_set(negative, "a", "b");
    EXPECT_STREQ(settings_table_find(negative, "a"), "b");
    settings_free(negative);
    settings_table_set(table, nullptr, "b");
    EXPECT_EQ(table->count, 0);
    EXPECT_EQ(settings_table_find(table, nullptr), nullptr);
    settings_table_set(table, "audio", nullptr); // a section entry has no number
    EXPECT_EQ(settings_get_int(table, "audio", -1), -1);
}

// Beyond the 32-bit range the number saturates rather than wrapping.
TEST_F(SettingsTableTest, GetIntReadsTheLeadingNumberAsAtoiDoes) {
    const std::pair<const char*, int32_t> cases[] = {{"-1", -1},
                                                     {"+7", 7},
                                                     {"  \t12", 12},
                                                     {"3.9", 3},
                                                     {"0x10", 0},
                                                     {" - 5", 0},
                                                     {"2147483648", INT32_MAX},
                                                     {"-99999999999999999999", INT32_MIN}};
    for (const auto& [value, expected] : cases) {
        settings_table_set(table, "general:value", value);
        EXPECT_EQ(settings_get_int(table, "general:value", -1), expected) << '"' << value << '"';
    }
}

} // namespace
