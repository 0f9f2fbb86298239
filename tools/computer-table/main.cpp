// computer-table: how strong the computer player is, measured over whole matches of the real
// game on the scripted platform. See --help.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "match_driver.h"
#include "table.h"

namespace {

const char* usage_text =
    "usage: computer-table [options]\n"
    "\n"
    "Plays whole matches between two contestants and prints, per row, how often A wins with\n"
    "A as side 1 (red) and as side 2 (green) over the same game draws, the difference between\n"
    "the two (mirror), the longest match in game time, and how many matches ran out of time or\n"
    "hit the cap.\n"
    "\n"
    "Options:\n"
    "  --matches N      matches per side order and row (default 100)\n"
    "  --seed N         picks the game's draws and the random keys (default 1)\n"
    "  --first N        number of the first match (default 0): --first 7 --matches 1\n"
    "                   plays match 7 of a longer run again\n"
    "  --rows LIST      A-B pairs, comma separated; 1..3 a skill, 0 random keys\n"
    "                   (default 3-0,3-1,2-1,3-2,1-1,2-2,3-3)\n"
    "  --cap-minutes N  stop a match after N minutes of game time (default 10)\n"
    "  --speed N        the GameSpeed setting (default 10)\n"
    "  --length N       the GameLength setting in seconds (default 84)\n"
    "  --archive PATH   the game archive (default the build's game/zrb.res)\n"
    "  --verbose        one line per match\n"
    "  --help           this text\n";

struct Options {
    TableOptions table;
    std::vector<Pairing> rows = {{3, 0}, {3, 1}, {2, 1}, {3, 2}, {1, 1}, {2, 2}, {3, 3}};
    int32_t speed = 10;
    int32_t length = 84;
    std::string archive = COMPUTER_TABLE_ARCHIVE;
};

bool number_parse(const char* text, long lo, long hi, long& out) {
    char* end = nullptr;
    out = std::strtol(text, &end, 10);
    return end != text && *end == '\0' && out >= lo && out <= hi;
}

bool rows_parse(const char* text, std::vector<Pairing>& rows) {
    rows.clear();
    std::string list = text;
    size_t start = 0;
    while (start <= list.size()) {
        const size_t comma = std::min(list.find(',', start), list.size());
        const std::string item = list.substr(start, comma - start);
        if (item.size() != 3 || item[1] != '-' || item[0] < '0' || item[0] > '3' || item[2] < '0' ||
            item[2] > '3') {
            return false;
        }
        rows.push_back(Pairing{item[0] - '0', item[2] - '0'});
        start = comma + 1;
    }
    return !rows.empty();
}

// One option with its value; false on anything unknown or out of range.
bool option_take(Options& o, const char* name, const char* value) {
    long n = 0;
    if (std::strcmp(name, "--matches") == 0 && number_parse(value, 1, 100000, n)) {
        o.table.matches = static_cast<int32_t>(n);
    } else if (std::strcmp(name, "--seed") == 0 && number_parse(value, 0, 0x7FFFFFFF, n)) {
        o.table.seed = static_cast<uint32_t>(n);
    } else if (std::strcmp(name, "--first") == 0 && number_parse(value, 0, 0x7FFFFFFF, n)) {
        o.table.first = static_cast<int32_t>(n);
    } else if (std::strcmp(name, "--cap-minutes") == 0 && number_parse(value, 1, 10000, n)) {
        o.table.cap_ms = n * 60 * 1000;
    } else if (std::strcmp(name, "--speed") == 0 && number_parse(value, -100, 100, n) && n != 0) {
        o.speed = static_cast<int32_t>(n);
    } else if (std::strcmp(name, "--length") == 0 && number_parse(value, 1, 100000, n)) {
        o.length = static_cast<int32_t>(n);
    } else if (std::strcmp(name, "--archive") == 0) {
        o.archive = value;
    } else {
        return std::strcmp(name, "--rows") == 0 && rows_parse(value, o.rows);
    }
    return true;
}

// 0 to go on, otherwise the exit status.
int options_parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            std::fputs(usage_text, stdout);
            return -1;
        }
        if (std::strcmp(argv[i], "--verbose") == 0) {
            o.table.verbose = true;
        } else if (i + 1 >= argc || !option_take(o, argv[i], argv[i + 1])) {
            std::fprintf(stderr, "computer-table: bad option %s\n%s", argv[i], usage_text);
            return 2;
        } else {
            ++i;
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    const int status = options_parse(argc, argv, o);
    if (status != 0) {
        return status < 0 ? 0 : status;
    }
    const double speed = o.speed * static_cast<double>(0.1f);
    if (!match_driver_open(o.archive.c_str(), speed, o.length)) {
        return 1;
    }
    std::printf("GameSpeed %d, GameLength %d, %d matches per side order, seed %u\n", o.speed,
                o.length, o.table.matches, o.table.seed);
    table_header_print();
    for (const Pairing& pair : o.rows) {
        table_row_print(table_row_play(pair, o.table));
    }
    match_driver_close();
    return 0;
}
