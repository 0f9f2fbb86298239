// zorbit-replay: plays the real game on a virtual clock from a script of key events, a
// recording, or one side of a network session, and writes what it saw. See --help.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "app/startup.h"
#include "script.h"
#include "scripted.h"

namespace {

const char* usage_text =
    "usage: zorbit-replay [options] [SCRIPT]\n"
    "       zorbit-replay [options] --play FILE\n"
    "       zorbit-replay [options] --host PORT SCRIPT\n"
    "       zorbit-replay [options] --join HOST:PORT SCRIPT\n"
    "\n"
    "Runs the game unpaced on a virtual millisecond clock, feeding it the key events of\n"
    "SCRIPT (or standard input when SCRIPT is - or absent). With --play it plays a recording\n"
    "back; with --host or --join it plays one side of a network session (PORT 0 takes any\n"
    "free port, said on stderr as 'waiting for a player on port N'). Exit status: the game's\n"
    "own (0), 1 when a playback ends otherwise than recorded or a network session ends\n"
    "otherwise than by a player leaving (the games differ, the connection broke, they went\n"
    "out of step), 2 for bad usage or a bad recording, 3 when the time limit passes.\n"
    "\n"
    "Script: one event per line, '#' starts a comment:\n"
    "    <tick> down|up <key>\n"
    "  tick  virtual millisecond at which the event is delivered\n"
    "  key   escape, space, return, tab, backspace, up, down, left, right, f1..f12,\n"
    "        lshift, rshift, a single letter or digit, or an SDL 1.2 key symbol of 2+ digits\n"
    "\n"
    "Options:\n"
    "  --dir DIR          game folder: zrb.res and zorbit.ini are read there, and readme,\n"
    "                     file_id.diz and network logs written there (default: here)\n"
    "  --frame-ms N       virtual milliseconds each presented frame takes (default 16)\n"
    "  --time-limit MS    end with status 3 once the virtual clock passes MS (default none)\n"
    "  --hashes FILE      write '<frame> <hash>' per frame of a match, its goals, time-up\n"
    "                     and end screens (FNV-1a 64, hex); FILE - is standard output\n"
    "  --record FILE      write every match to FILE as a recording\n"
    "  --trace FILE       write the game's debug trace lines\n"
    "  --snapshot LIST    frame numbers (from 0, comma separated) to write as PNG\n"
    "  --png PATTERN      printf pattern of the PNG paths (default frame_%06d.png)\n"
    "  --help             this text\n";

struct Replay {
    ScriptedSetup setup;
    Options options; // the game's: --play, --host, --join, --record, --hashes
    std::string dir;
    std::string script_path = "-";
    std::string trace_path;
    std::FILE* trace = nullptr;
};

void trace_write(void* context, const char* line) {
    std::fputs(line, static_cast<std::FILE*>(context));
}

bool number_list_parse(const std::string& text, std::vector<uint64_t>& numbers) {
    std::istringstream in(text);
    std::string item;
    while (std::getline(in, item, ',')) {
        char* end = nullptr;
        const unsigned long long value = std::strtoull(item.c_str(), &end, 10);
        if (item.empty() || *end != '\0') {
            return false;
        }
        numbers.push_back(value);
    }
    return true;
}

bool unsigned_parse(const char* text, uint32_t& value) {
    char* end = nullptr;
    const unsigned long parsed = std::strtoul(text, &end, 10);
    if (*text == '\0' || *end != '\0' || parsed > UINT32_MAX) {
        return false;
    }
    value = static_cast<uint32_t>(parsed);
    return true;
}

int usage_error(const std::string& what) {
    std::fprintf(stderr, "zorbit-replay: %s\n(see zorbit-replay --help)\n", what.c_str());
    return 2;
}

// The option at argv[*i] with its value; an error message, or empty when it was taken.
std::string option_take(Replay& r, const std::string& arg, const char* value) {
    uint32_t port = 0;
    if (arg == "--dir") {
        r.dir = value;
    } else if (arg == "--frame-ms") {
        return unsigned_parse(value, r.setup.frame_ms) ? "" : "--frame-ms needs a number";
    } else if (arg == "--time-limit") {
        return unsigned_parse(value, r.setup.time_limit_ms) ? "" : "--time-limit needs a number";
    } else if (arg == "--hashes") {
        r.options.hashes = value;
    } else if (arg == "--record") {
        r.options.record = value;
    } else if (arg == "--play") {
        r.options.play = value;
    } else if (arg == "--host") {
        r.options.host = unsigned_parse(value, port) && port <= 65535;
        r.options.port = static_cast<int32_t>(port);
        return r.options.host ? "" : "--host needs a port (0 for any)";
    } else if (arg == "--join") {
        r.options.join = value;
    } else if (arg == "--trace") {
        r.trace_path = value;
    } else if (arg == "--snapshot") {
        return number_list_parse(value, r.setup.snapshot_frames)
                   ? ""
                   : "--snapshot needs frame numbers separated by commas";
    } else if (arg == "--png") {
        r.setup.snapshot_pattern = value;
    } else {
        return "unknown option " + arg;
    }
    return "";
}

std::string options_parse(Replay& r, int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.size() > 1 && arg[0] == '-') {
            if (i + 1 >= argc) {
                return "incomplete option " + arg;
            }
            const std::string error = option_take(r, arg, argv[++i]);
            if (!error.empty()) {
                return error;
            }
        } else {
            r.script_path = arg;
        }
    }
    return "";
}

std::string script_read(Replay& r) {
    if (!r.options.play.empty() && r.script_path == "-") {
        return ""; // a playback needs no keys
    }
    std::string error;
    std::ifstream file;
    if (r.script_path != "-") {
        file.open(r.script_path);
        if (!file) {
            return "cannot read " + r.script_path;
        }
    }
    std::istream& in = r.script_path == "-" ? std::cin : file;
    return key_script_parse(in, r.setup.keys, error) ? "" : r.script_path + ": " + error;
}

// Output paths are taken relative to where the tool was started, not to --dir.
void paths_absolute(Replay& r) {
    for (std::string* path : {&r.options.hashes, &r.options.record, &r.options.play, &r.trace_path,
                              &r.setup.snapshot_pattern}) {
        if (!path->empty() && *path != "-") {
            *path = std::filesystem::absolute(*path).string();
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(usage_text, stdout);
        return 0;
    }
    Replay r;
    r.setup.snapshot_pattern = "frame_%06d.png";
    std::string error = options_parse(r, argc, argv);
    if (error.empty()) {
        error = script_read(r);
    }
    if (!error.empty()) {
        return usage_error(error);
    }
    paths_absolute(r);
    if (!r.dir.empty() && chdir(r.dir.c_str()) != 0) {
        return usage_error("cannot enter " + r.dir);
    }
    if (!r.trace_path.empty()) {
        r.trace = r.trace_path == "-" ? stdout : std::fopen(r.trace_path.c_str(), "w");
        if (r.trace == nullptr) {
            return usage_error("cannot write " + r.trace_path);
        }
        r.setup.sinks.context = r.trace;
        r.setup.sinks.debug_line = trace_write;
    }
    scripted_start(r.setup);
    // The game folder holds everything, as a portable game's does.
    const int status = startup_run(r.options, GameFiles{"zrb.res", "zorbit.ini", "."}, true);
    std::fflush(nullptr);
    return status;
}
