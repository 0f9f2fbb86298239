// zorbit-replay: plays the real game on a virtual clock from a script of key events and
// records every presented frame. See --help.
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
#include "gfx/display.h"
#include "script.h"
#include "scripted.h"

namespace {

const char* usage_text =
    "usage: zorbit-replay [options] [SCRIPT]\n"
    "\n"
    "Runs the game unpaced on a virtual millisecond clock, feeding it the key events of\n"
    "SCRIPT (or standard input when SCRIPT is - or absent), and exits with the game's status\n"
    "(3 when the time limit passes).\n"
    "\n"
    "Script: one event per line, '#' starts a comment:\n"
    "    <tick> down|up <key>\n"
    "  tick  virtual millisecond at which the event is delivered\n"
    "  key   escape, space, return, tab, backspace, up, down, left, right, f1..f12,\n"
    "        lshift, rshift, a single letter or digit, or an SDL 1.2 key symbol of 2+ digits\n"
    "\n"
    "Options:\n"
    "  --dir DIR          working folder: zrb.res and zorbit.ini are read there, and readme\n"
    "                     and file_id.diz written there (default: the current folder)\n"
    "  --frame-ms N       virtual milliseconds each presented frame takes (default 16)\n"
    "  --time-limit MS    end with status 3 once the virtual clock passes MS (default none)\n"
    "  --hashes FILE      write '<frame> <hash>' per frame of a match, its goals, time-up\n"
    "                     and end screens (FNV-1a 64, hex); FILE - is standard output\n"
    "  --trace FILE       write the game's debug trace lines\n"
    "  --snapshot LIST    frame numbers (from 0, comma separated) to write as PNG\n"
    "  --png PATTERN      printf pattern of the PNG paths (default frame_%06d.png)\n"
    "  --help             this text\n";

// What the run writes, line by line as it happens.
struct Outputs {
    std::string hashes_path;
    std::string trace_path;
    std::FILE* hashes = nullptr;
    std::FILE* trace = nullptr;
    uint64_t hashed = 0;
};

Outputs outputs;

void hash_write(void* context, uint64_t hash) {
    auto* out = static_cast<Outputs*>(context);
    std::fprintf(out->hashes, "%llu %016llx\n", static_cast<unsigned long long>(out->hashed++),
                 static_cast<unsigned long long>(hash));
}

void trace_write(void* context, const char* line) {
    std::fputs(line, static_cast<Outputs*>(context)->trace);
}

std::FILE* output_open(const std::string& path) {
    return path == "-" ? stdout : std::fopen(path.c_str(), "w");
}

// False when a file cannot be made; the sinks are set for each file that can.
bool outputs_open(ScriptedSetup& setup) {
    if (!outputs.hashes_path.empty()) {
        outputs.hashes = output_open(outputs.hashes_path);
        if (outputs.hashes == nullptr) {
            return false;
        }
        display_hash_sink_set(hash_write, &outputs);
    }
    if (!outputs.trace_path.empty()) {
        outputs.trace = output_open(outputs.trace_path);
        if (outputs.trace == nullptr) {
            return false;
        }
        setup.sinks.context = &outputs;
        setup.sinks.debug_line = trace_write;
    }
    return true;
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

int usage_error(const char* what) {
    std::fprintf(stderr, "zorbit-replay: %s\n(see zorbit-replay --help)\n", what);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    ScriptedSetup setup;
    setup.snapshot_pattern = "frame_%06d.png";
    std::string dir;
    std::string script_path = "-";
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool has_value = i + 1 < argc;
        if (arg == "--help" || arg == "-h") {
            std::fputs(usage_text, stdout);
            return 0;
        } else if (arg == "--dir" && has_value) {
            dir = argv[++i];
        } else if (arg == "--frame-ms" && has_value) {
            if (!unsigned_parse(argv[++i], setup.frame_ms)) {
                return usage_error("--frame-ms needs a number");
            }
        } else if (arg == "--time-limit" && has_value) {
            if (!unsigned_parse(argv[++i], setup.time_limit_ms)) {
                return usage_error("--time-limit needs a number");
            }
        } else if (arg == "--hashes" && has_value) {
            outputs.hashes_path = argv[++i];
        } else if (arg == "--trace" && has_value) {
            outputs.trace_path = argv[++i];
        } else if (arg == "--snapshot" && has_value) {
            if (!number_list_parse(argv[++i], setup.snapshot_frames)) {
                return usage_error("--snapshot needs frame numbers separated by commas");
            }
        } else if (arg == "--png" && has_value) {
            setup.snapshot_pattern = argv[++i];
        } else if (arg.size() > 1 && arg[0] == '-') {
            return usage_error(("unknown or incomplete option " + arg).c_str());
        } else {
            script_path = arg;
        }
    }
    std::string error;
    bool parsed = false;
    if (script_path == "-") {
        parsed = key_script_parse(std::cin, setup.keys, error);
    } else {
        std::ifstream in(script_path);
        if (!in) {
            return usage_error(("cannot read " + script_path).c_str());
        }
        parsed = key_script_parse(in, setup.keys, error);
    }
    if (!parsed) {
        return usage_error((script_path + ": " + error).c_str());
    }
    // Output paths are taken relative to where the tool was started, not to --dir.
    for (std::string* path : {&outputs.hashes_path, &outputs.trace_path, &setup.snapshot_pattern}) {
        if (!path->empty() && *path != "-") {
            *path = std::filesystem::absolute(*path).string();
        }
    }
    if (!dir.empty() && chdir(dir.c_str()) != 0) {
        return usage_error(("cannot enter " + dir).c_str());
    }
    // The game folder holds everything, as a portable game's does.
    const GameFiles files{"zrb.res", "zorbit.ini", "."};
    if (!outputs_open(setup)) {
        return usage_error("cannot write the hashes or the trace");
    }
    scripted_start(setup);
    const int status = startup_run(Options{}, files);
    std::fflush(nullptr);
    return status;
}
