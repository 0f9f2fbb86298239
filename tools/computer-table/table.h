#pragma once
// The strength table: rows of matches between two contestants, each played with A as side 1
// and again with A as side 2 over the same game draws, so the two openings are compared.
#include <cstdint>

struct Pairing {
    int32_t a; // skill of A (1..3, or 0 for random keys)
    int32_t b;
};

struct TableOptions {
    int32_t matches = 100; // per side order
    uint32_t seed = 1;
    int32_t first = 0;               // number of the first match, so one match can be played again
    int64_t cap_ms = 10 * 60 * 1000; // a match still running after this much game time is stopped
    bool verbose = false;            // one line per match
};

struct RowResult {
    Pairing pair;
    int32_t matches;   // per side order
    int32_t a_wins[2]; // A's wins as side 1, as side 2
    int32_t capped;    // matches the cap stopped
    int32_t time_ups;  // matches whose clock ran out
    int64_t longest_ms;
    double seconds; // wall-clock time the row took
};

RowResult table_row_play(const Pairing& pair, const TableOptions& options);
void table_header_print();
void table_row_print(const RowResult& row);
