// The settings file grammar: comments, headers, the three value forms, long lines, repeats.
#include "settings/settings_file.h"
#include "settings/settings_table.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>

#include "support/test_archive.h"

namespace {

// Writes text byte for byte to a file of its own, loads it and removes the file.
SettingsTable* load_text(std::string_view text) {
    const std::string path = test_temp_path("settings.ini");
    test_write_file(path, {text.begin(), text.end()});
    SettingsTable* table = settings_load(path.c_str());
    std::filesystem::remove(path);
    return table;
}

// Every entry as "key=value" (or "key" for a null value), in slot order.
std::string entries(const SettingsTable* table) {
    std::string out;
    for (int32_t i = 0; i < table->count; ++i) {
        out += table->keys[i];
        if (table->values[i] != nullptr) {
            out += "=";
            out += table->values[i];
        }
        out += "|";
    }
    return out;
}

struct ParseCase {
    const char* name;
    std::string text;
    std::string expected;
};

void expect_entries(std::initializer_list<ParseCase> cases) {
    for (const ParseCase& c : cases) {
        SettingsTable* table = load_text(c.text);
        ASSERT_NE(table, nullptr) << c.name;
        EXPECT_EQ(entries(table), c.expected) << c.name;
        settings_free(table);
    }
}

TEST(SettingsLoad, LinesGiveTheseEntries) {
    expect_entries({
        // Comments and lines without a key are ignored.
        {"indented comment", "[a]\n      ; Redefined keys\n\t# x=2\n", "a|"},
        {"line without equals or key", "[a]\njust words\n=5\n  = 6\n", "a|"},
        // Section headers.
        {"mixed case", "[CoNtRoLs/GreenPlayer]\n", "controls/greenplayer|"},
        {"spaces inside kept", "[ General ]\nGameLength=5\n", " general | general :gamelength=5|"},
        {"text after bracket ignored", "[video] ; the screen\n", "video|"},
        {"missing bracket runs to end of line", "[video\n", "video\n|"},
        {"empty brackets keep the section", "[a]\n[]\nx=1\n", "a|a:x=1|"},
        {"repeated header", "[a]\nx=1\n[b]\n[A]\ny=2\n", "a|a:x=1|b|a:y=2|"},
        {"pairs before the first header dropped", "gamelength=5\n:x=1\n[general]\ngamelength=6\n",
         "general|general:gamelength=6|"},
        {"high bytes not folded", "[\xc9T\xc9]\n", "\xc9t\xc9|"},
        // Bare values.
        {"spaces around equals, semicolon comment", "[a]\nkey \t=  12   ; twelve\n", "a|a:key=12|"},
        {"inner spaces and value case kept", "[General]\nMy Key = Two Words\n",
         "general|general:my key=Two Words|"},
        {"second equals in value", "[a]\nk=a=b\n", "a|a:k=a=b|"},
        {"nothing or only a comment after equals", "[a]\nkey=\nkey2= ; none\nkey3=#none\n", "a|"},
        {"no line feed at the end", "[a]\nkey=7", "a|a:key=7|"},
        {"embedded NUL ends the line text", {"[a]\nk=ab\0cd\nj=2\n", 16}, "a|a:k=ab|a:j=2|"},
        // Quoted values.
        {"double quotes keep comment bytes and the other quote", "[a]\nk=\"x;y#z's\"\n",
         "a|a:k=x;y#z's|"},
        {"single quotes keep comment bytes, text after them ignored", "[a]\nk='x;y' # note\n",
         "a|a:k=x;y|"},
        {"leading spaces kept, trailing trimmed", "[a]\nk=\"  pad  \"\n", "a|a:k=  pad|"},
        {"missing closing quote", "[a]\nk=\"open ended \n", "a|a:k=open ended|"},
        {"empty quotes then comment", "[a]\nk=\"\" ; none\nj='' #\n", "a|a:k=|a:j=|"},
        // Only the six ASCII blanks count as white space, whatever the locale.
        {"no-break space is no blank", "[a]\n\v\fk\xa0=x\xa0\n", "a|a:k\xa0=x\xa0|"},
        // CRLF lines and repeated blocks.
        {"CRLF lines", "[General]\r\nGameLength = 60\r\nName='x'\r\nE=\"\"\r\n",
         "general|general:gamelength=60|general:name=x|general:e=|"},
    });
}

// A comment that fills exactly one read leaves the rest of its line to be parsed on its own; a
// value longer than one read keeps its first 1023 - 4 bytes and the rest is a line of its own;
// one byte short of a full read, the whole line is one piece.
TEST(SettingsLoad, LongLinesArriveInPiecesOf1023Bytes) {
    const std::string c(1022, 'c'), v(1019, 'v'), w(1016, 'w');
    expect_entries({
        {"comment of one read", "[general]\n;" + c + "gamelength=7\n",
         "general|general:gamelength=7|"},
        {"value longer than a read", "[a]\nkey=" + v + "tail=end\n",
         "a|a:key=" + v + "|a:tail=end|"},
        {"one byte short of a read", "[a]\nk=" + w + "\n", "a|a:k=" + w + "|"},
    });
}

// The longest composed key: both halves at their longest still fit.
TEST(SettingsStore, TheLongestSectionAndKeyFit) {
    SettingsTable* table = settings_table_create(0);
    const std::string half(1023, 's');
    settings_store(table, half.c_str(), half.c_str(), "x");
    EXPECT_STREQ(settings_table_find(table, (half + ":" + half).c_str()), "x");
    settings_free(table);
}

} // namespace
