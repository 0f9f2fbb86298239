#pragma once
// Whole-game runs through zorbit-replay, in a private folder holding the test archive.
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "game_harness.h"

struct ReplayRun {
    int status = -1;
    std::vector<std::string> hashes; // one per presented frame
    std::string trace;               // the game's debug trace
    std::string err;                 // standard error
};

// A private game folder with zrb.res and a zorbit.ini (sound off unless the ini says otherwise),
// removed afterwards unless ZORBIT_KEEP is set.
struct GameFolder {
    std::filesystem::path path = test_temp_path("game");
    std::filesystem::path operator/(const char* name) const { return path / name; }
    ~GameFolder() {
        if (std::getenv("ZORBIT_KEEP") == nullptr) {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    }
};

inline void game_folder_make(GameFolder& folder, const std::string& ini,
                             const std::vector<TestEntry>& entries = game_archive_entries()) {
    std::filesystem::create_directories(folder.path);
    test_write_file((folder / "zrb.res").string(), test_archive_bytes(entries));
    std::ofstream(folder / "zorbit.ini") << "[audio]\nenablesound=0\n" << ini;
}

// Writes the script into the folder and gives the shell line that plays it there, its hashes,
// trace and standard error in files beside it. exec leaves the shell's pid to zorbit-replay.
inline std::string replay_command(const GameFolder& folder, const std::string& script,
                                  const std::string& options) {
    std::ofstream(folder / "script.txt") << script;
    return "cd '" + folder.path.string() +
           "' && exec '" ZORBIT_BINARY_DIR
           "/tools/zorbit-replay/zorbit-replay' --hashes hashes.txt --trace trace.txt " +
           options + " script.txt > out.txt 2> err.txt";
}

inline ReplayRun replay_run(const GameFolder& folder, const std::string& script,
                            const std::string& options = "") {
    const std::filesystem::path& dir = folder.path;
    const int raw =
        std::system(replay_command(folder, script, "--time-limit 3600000 " + options).c_str());
    ReplayRun run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::istringstream hashes(test_read_text(dir / "hashes.txt"));
    std::string index, hash;
    while (hashes >> index >> hash) {
        run.hashes.push_back(hash);
    }
    run.trace = test_read_text(dir / "trace.txt");
    run.err = test_read_text(dir / "err.txt");
    return run;
}

// The trace's lines that contain part.
inline std::vector<std::string> trace_lines_with(const std::string& trace, const char* part) {
    std::vector<std::string> lines;
    std::istringstream in(trace);
    for (std::string line; std::getline(in, line);) {
        if (line.find(part) != std::string::npos) {
            lines.push_back(line);
        }
    }
    return lines;
}
