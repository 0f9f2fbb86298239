#pragma once
// A network session seen from the game: waiting for the other player, the titles that start
// matches together, the matches in lockstep, and the end screens that end them together.
#include <cstdint>
#include <string>

struct RecordingWriter;

struct NetworkPlan {
    bool host = false;
    uint16_t port = 0; // host: where to listen (0: any free port)
    std::string join;  // guest: HOST[:PORT]
    uint64_t archive_hash = 0;
    std::string log_folder;            // where each side keeps its input log; empty: none
    RecordingWriter* record = nullptr; // --record's writer, which then is the log
};

enum class NetworkEnd { played, failed, lost };

// Runs the session to its end (a player leaving, a failure, or the program asked to end); the
// line saying why has been shown. lost: the connection broke or the games went apart.
NetworkEnd network_run(const NetworkPlan& plan);
