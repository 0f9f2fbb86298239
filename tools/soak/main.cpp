// soak: plays many whole matches of the real game in one process on the scripted platform, with
// random held keys, speeds, lengths and the plasma on and off, and checks that resident memory
// stays put. Built with -DZORBIT_SANITIZE=ON, any fault ends the run with the sanitizer's report.
// See --help.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "app/game.h"
#include "gfx/display.h"
#include "resources/archive.h"
#include "scripted.h"
#include "settings/game_settings.h"
#include "soak_match.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
extern "C" void __sanitizer_purge_allocator();
#else
#include <malloc.h>
#endif

extern "C" {
// Freed memory is reused at once, so that resident memory after 10 and after 1,000 matches can
// be compared; ASAN_OPTIONS still overrides.
const char* __asan_default_options() {
    return "quarantine_size_mb=0:thread_local_quarantine_size_kb=0:halt_on_error=1:detect_leaks=1";
}
const char* __lsan_default_options() {
    return "suppressions=" SOAK_SOURCE_DIR "/tests/lsan.supp:print_suppressions=0";
}
const char* __ubsan_default_options() {
    return "halt_on_error=1:print_stacktrace=1";
}
}

namespace {

const char* usage_text =
    "usage: soak [options]\n"
    "\n"
    "Plays whole matches one after the other in one process: each side's four directions held\n"
    "or released at random every few frames, GameSpeed drawn from 1..30 or -30..-1, GameLength\n"
    "from -5 to 200, the plasma and the frame hashes on or off, each match capped at 150 s of\n"
    "game time. Prints how many matches hit the cap and the resident memory after 10 matches\n"
    "and after the last. Exit status 0 when memory grew by at most 1 MB, 1 when it grew more,\n"
    "2 for bad usage or a missing archive. Meant for a sanitizer build (-DZORBIT_SANITIZE=ON).\n"
    "\n"
    "Options:\n"
    "  --matches N     matches to play (default 1000)\n"
    "  --seed N        picks every match's draws (default 1)\n"
    "  --first N       number of the first match (default 0): --first 417 --matches 1\n"
    "                  plays match 417 of a longer run again\n"
    "  --archive PATH  the game archive (default the build's game/zrb.res)\n"
    "  --verbose       one line per match\n"
    "  --help          this text\n";

constexpr int64_t cap_ms = 150 * 1000;
constexpr long memory_growth_kb = 1024;
constexpr int64_t settled_after = 10;

struct Options {
    int64_t matches = 1000;
    uint64_t seed = 1;
    int64_t first = 0;
    std::string archive = SOAK_ARCHIVE;
    bool verbose = false;
};

struct Totals {
    int64_t capped = 0;
    int64_t timed_up = 0;
    int64_t won[2] = {0, 0};
    uint64_t frames = 0;
    int64_t game_ms = 0;
    long settled_kb = -1; // after the first 10 matches
    long last_kb = -1;
};

// Resident memory once the allocator has handed its free pages back, so that the reading counts
// what the game holds rather than what the allocator keeps in reserve.
long resident_kb() {
#if defined(__SANITIZE_ADDRESS__)
    __sanitizer_purge_allocator();
#else
    malloc_trim(0);
#endif
    return scripted_resident_kb();
}

// The match being played, for a sanitizer's report.
char current_match[160] = "before the first match";

bool number_parse(const char* text, long long lo, long long hi, long long& out) {
    char* end = nullptr;
    out = std::strtoll(text, &end, 10);
    return end != text && *end == '\0' && out >= lo && out <= hi;
}

bool option_take(Options& o, const char* name, const char* value) {
    long long n = 0;
    if (std::strcmp(name, "--matches") == 0 && number_parse(value, 1, 10000000, n)) {
        o.matches = n;
    } else if (std::strcmp(name, "--seed") == 0 && number_parse(value, 0, INT64_MAX, n)) {
        o.seed = static_cast<uint64_t>(n);
    } else if (std::strcmp(name, "--first") == 0 && number_parse(value, 0, 1000000000, n)) {
        o.first = n;
    } else if (std::strcmp(name, "--archive") == 0) {
        o.archive = value;
    } else {
        return false;
    }
    return true;
}

// An error message, or empty.
std::string options_parse(Options& o, int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--verbose") == 0) {
            o.verbose = true;
        } else if (i + 1 >= argc || !option_take(o, argv[i], argv[i + 1])) {
            return std::string("bad or incomplete option ") + argv[i];
        } else {
            ++i;
        }
    }
    return "";
}

void plan_describe(const SoakPlan& plan, int64_t number, char* text, size_t size) {
    std::snprintf(text, size, "match %lld: GameSpeed %d GameLength %d plasma %s hashes %s",
                  static_cast<long long>(number), plan.speed_tenths, plan.length,
                  plan.plasma ? "on" : "off", plan.hashed ? "on" : "off");
}

void totals_add(Totals& t, const SoakOutcome& out) {
    t.capped += out.capped ? 1 : 0;
    t.timed_up += out.time_up ? 1 : 0;
    if (out.winner > 0) {
        t.won[out.winner - 1] += 1;
    }
    t.frames += out.frames;
    t.game_ms += out.game_ms;
}

void matches_play(const Options& o, Totals& t) {
    for (int64_t i = 0; i < o.matches; ++i) {
        const int64_t number = o.first + i;
        const SoakPlan plan = soak_plan_draw(o.seed, number);
        plan_describe(plan, number, current_match, sizeof current_match);
        const SoakOutcome out = soak_match_play(plan, cap_ms);
        totals_add(t, out);
        if (o.verbose) {
            std::printf("%s: %d-%d after %.1f s%s\n", current_match, out.side1_score,
                        out.side2_score, double(out.game_ms) / 1000, out.capped ? ", capped" : "");
        }
        if (i + 1 == settled_after) {
            t.settled_kb = resident_kb();
        }
        if ((i + 1) % 100 == 0) {
            std::fprintf(stderr, "soak: %lld matches, %ld kB resident\n",
                         static_cast<long long>(i + 1), resident_kb());
        }
    }
    t.last_kb = resident_kb();
}

std::filesystem::path work_folder;

bool soak_open(const Options& o) {
    scripted_start(ScriptedSetup{});
    game_settings_reset();
    game_settings.fullscreen = 0;
    if (archive_open(o.archive.c_str()) != 1) {
        std::fprintf(stderr, "soak: cannot open %s\n", o.archive.c_str());
        return false;
    }
    // Anything the game writes lands in a folder of its own, not the caller's.
    work_folder =
        std::filesystem::temp_directory_path() / ("zorbit-soak-" + std::to_string(getpid()));
    std::filesystem::create_directories(work_folder);
    std::filesystem::current_path(work_folder);
    display_open(320, 200, 15, 0);
    game_setup("");
    return true;
}

void soak_close() {
    program_exit();
    scripted_stop();
    std::error_code ignored;
    std::filesystem::current_path(std::filesystem::temp_directory_path(), ignored);
    std::filesystem::remove_all(work_folder, ignored);
}

// True when memory stayed within the bound.
bool totals_print(const Options& o, const Totals& t, double seconds) {
    std::printf("matches:       %lld (seed %llu, from %lld)\n", static_cast<long long>(o.matches),
                static_cast<unsigned long long>(o.seed), static_cast<long long>(o.first));
    std::printf("hit the cap:   %lld (150 s of game time)\n", static_cast<long long>(t.capped));
    std::printf("time up:       %lld; won by red %lld, by green %lld\n",
                static_cast<long long>(t.timed_up), static_cast<long long>(t.won[0]),
                static_cast<long long>(t.won[1]));
    std::printf("frames:        %llu (%.0f s of game time) in %.1f s\n",
                static_cast<unsigned long long>(t.frames), double(t.game_ms) / 1000, seconds);
    if (t.settled_kb < 0) {
        std::printf("resident:      %ld kB at the end (fewer than %lld matches: not judged)\n",
                    t.last_kb, static_cast<long long>(settled_after));
        return true;
    }
    const long growth = t.last_kb - t.settled_kb;
    std::printf("resident:      %ld kB after %lld matches, %ld kB after %lld (%+ld kB)\n",
                t.settled_kb, static_cast<long long>(settled_after), t.last_kb,
                static_cast<long long>(o.matches), growth);
    if (growth > memory_growth_kb) {
        std::printf("soak: resident memory grew by more than %ld kB\n", memory_growth_kb);
        return false;
    }
    return true;
}

#if defined(__SANITIZE_ADDRESS__)
void current_match_say() {
    std::fprintf(stderr, "soak: the fault came in %s\n", current_match);
}
#endif

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(usage_text, stdout);
        return 0;
    }
    Options o;
    const std::string error = options_parse(o, argc, argv);
    if (!error.empty()) {
        std::fprintf(stderr, "soak: %s\n(see soak --help)\n", error.c_str());
        return 2;
    }
#if defined(__SANITIZE_ADDRESS__)
    __sanitizer_set_death_callback(current_match_say);
#endif
    if (!soak_open(o)) {
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    Totals totals;
    matches_play(o, totals);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    soak_close();
    return totals_print(o, totals, seconds) ? 0 : 1;
}
