#include "table.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "contestant.h"
#include "match_driver.h"

namespace {

uint32_t seed_mix(uint32_t seed, uint32_t index) {
    uint32_t h = seed * 0x9E3779B9u ^ (index + 0x7F4A7C15u);
    h = (h ^ (h >> 16)) * 0x85EBCA6Bu;
    h = (h ^ (h >> 13)) * 0xC2B2AE35u;
    return h ^ (h >> 16);
}

void match_line_print(const RowResult& row, int32_t a_side, int32_t i, const MatchOutcome& out) {
    std::printf("  %s as side %d, match %d: %d-%d, winner %d, %.1f s%s\n",
                contestant_name(row.pair.a), a_side, i, out.side1_score, out.side2_score,
                out.winner, out.game_ms / 1000.0, out.time_up ? ", time up" : "");
}

void row_match_play(RowResult& row, int32_t a_side, int32_t i, const TableOptions& options) {
    const uint32_t game_seed = seed_mix(options.seed, static_cast<uint32_t>(i));
    const uint32_t keys_seed = seed_mix(options.seed ^ 0x5BD1E995u, static_cast<uint32_t>(i));
    Contestant a;
    Contestant b;
    contestant_start(&a, a_side, row.pair.a, keys_seed);
    contestant_start(&b, 3 - a_side, row.pair.b, keys_seed);
    Contestant* red = a_side == 1 ? &a : &b;
    Contestant* green = a_side == 1 ? &b : &a;
    const MatchOutcome out = match_drive(red, green, game_seed, options.cap_ms);
    row.a_wins[a_side - 1] += out.winner == a_side ? 1 : 0;
    row.capped += out.winner == 0 ? 1 : 0;
    row.time_ups += out.time_up ? 1 : 0;
    row.longest_ms = std::max(row.longest_ms, out.game_ms);
    if (options.verbose) {
        match_line_print(row, a_side, i, out);
    }
}

} // namespace

RowResult table_row_play(const Pairing& pair, const TableOptions& options) {
    const auto start = std::chrono::steady_clock::now();
    RowResult row{};
    row.pair = pair;
    row.matches = options.matches;
    for (int32_t i = options.first; i < options.first + options.matches; ++i) {
        row_match_play(row, 1, i, options);
        row_match_play(row, 2, i, options);
    }
    const auto took = std::chrono::steady_clock::now() - start;
    row.seconds = std::chrono::duration<double>(took).count();
    return row;
}

void table_header_print() {
    std::printf("%-11s %-11s %9s %9s %7s %7s %8s %8s %6s\n", "A", "B", "A side 1", "A side 2",
                "A wins", "mirror", "longest", "time-up", "capped");
}

void table_row_print(const RowResult& row) {
    const double n = row.matches;
    const double points = std::abs(row.a_wins[0] - row.a_wins[1]) * 100.0 / n;
    const double total = (row.a_wins[0] + row.a_wins[1]) * 100.0 / (2 * n);
    const int64_t seconds = row.longest_ms / 1000;
    std::printf("%-11s %-11s %5d/%-3d %5d/%-3d %6.1f%% %5.1fpt %4lld:%02lld %8d %6d  (%.0f s)\n",
                contestant_name(row.pair.a), contestant_name(row.pair.b), row.a_wins[0],
                row.matches, row.a_wins[1], row.matches, total, points,
                static_cast<long long>(seconds / 60), static_cast<long long>(seconds % 60),
                row.time_ups, row.capped, row.seconds);
    std::fflush(stdout);
}
