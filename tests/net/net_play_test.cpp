// Network sessions between two zorbit-replay processes on 127.0.0.1.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "match/replay_support.h"
#include "relay.h"

namespace {

constexpr uint32_t session_cap_ms = 60000; // real time for one whole session
constexpr uint32_t lost_cap_ms = 18000;    // for a killed side to be reported lost
constexpr uint32_t start_cap_ms = 20000;   // for a sanitized program to start and say its port

// The scripted clock also runs while a side waits for the other, so the ticks leave wide margins.
// The guest starts the match, ends its end screen for both sides, then leaves on the title.
const char* guest_script = "1 down space\n"
                           "1000 down left\n1300 up left\n"
                           "30000 up space\n"
                           "100000 down space\n100100 up space\n"
                           "100300 down escape\n200000 up escape\n";
const char* host_script = "2000 down right\n2300 up right\n";
const char* guest_args = "--time-limit 400000 --join 127.0.0.1:";
// The host's clock runs as fast as it spins while it waits: only the real-time cap bounds it.
const char* host_args = "--time-limit 2000000000 --host 0";

struct Side {
    GameFolder folder;
    pid_t pid = -1;
    bool running = false;
    int status = -1; // the exit status once it ended; -1 when a signal ended it
    std::string read(const char* name) const { return test_read_text(folder / name); }
    std::string err() const { return read("err.txt"); }
    ~Side() {
        if (running) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
};

// The pid is zorbit-replay's own, so that it can be waited for and killed.
bool side_start(Side& side, const char* script, const std::string& args,
                const std::vector<TestEntry>& entries = game_archive_entries()) {
    game_folder_make(side.folder, "[general]\ngamespeed=30\ngamelength=3\n", entries);
    const std::string command = replay_command(side.folder, script, "--frame-ms 1 " + args);
    side.pid = fork();
    if (side.pid == 0) {
        execl("/bin/sh", "sh", "-c", command.c_str(), nullptr);
        _exit(127);
    }
    side.running = side.pid > 0;
    return side.running;
}

bool side_ended(Side& side) {
    int raw = 0;
    if (side.running && waitpid(side.pid, &raw, WNOHANG) == side.pid) {
        side.running = false;
        side.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    return !side.running;
}

struct Session {
    Side host;
    Side guest;
    UdpRelay relay;
    ~Session() { udp_relay_close(relay); }
};

// Pumps the relay, looking again every millisecond, until done() or limit_ms of real time.
bool wait_until(UdpRelay& relay, uint32_t limit_ms, const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limit_ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        udp_relay_wait(relay, 1);
    }
    return true;
}

// The host on port 0, then the guest joining it through the relay. The relay opens first so that
// it can pace the wait for the port; it looks up the server's port only when it sends.
void session_start(Session& s, const RelayOptions& relay,
                   const std::vector<TestEntry>& guest_entries = game_archive_entries()) {
    ASSERT_TRUE(udp_relay_open(s.relay, relay));
    ASSERT_TRUE(side_start(s.host, host_script, host_args));
    unsigned port = 0;
    wait_until(s.relay, start_cap_ms, [&] {
        const std::string err = s.host.err();
        const size_t at = err.find("waiting for a player on port ");
        if (at != std::string::npos && err.find('\n', at) != std::string::npos) {
            std::sscanf(err.c_str() + at, "waiting for a player on port %u", &port);
        }
        return port != 0 || side_ended(s.host);
    });
    ASSERT_NE(port, 0u) << s.host.err();
    s.relay.options.server_port = uint16_t(port);
    const std::string address = std::to_string(udp_relay_port(s.relay));
    ASSERT_TRUE(side_start(s.guest, guest_script, guest_args + address, guest_entries));
}

bool both_ended(Session& s) {
    return wait_until(s.relay, session_cap_ms,
                      [&] { return side_ended(s.host) && side_ended(s.guest); });
}

std::string both_errs(const Session& s) {
    return "host: " + s.host.err() + "guest: " + s.guest.err();
}

// The hashes of a side's input log played back in one process.
std::string log_played(const Side& side, const char* log) {
    replay_run(side.folder, "", std::string("--hashes played.txt --play ") + log);
    return side.read("played.txt");
}

std::string winner(const Side& side) {
    const std::vector<std::string> lines = trace_lines_with(side.read("trace.txt"), "wins");
    return lines.empty() ? "" : lines.front();
}

// Both sides hash the same frames; the playback of either side's log hashes them again; the
// guest's Escape on the title after the match is read as leaving on the host. Lost, reordered and
// doubled datagrams on the way; more of them would only make the test slower.
TEST(NetPlay, BothSidesAndBothLogsShowTheSameFramesThroughALossyRelay) {
    Session s;
    ASSERT_NO_FATAL_FAILURE(
        session_start(s, {.drop = 0.05, .duplicate = 0.02, .delay_max_ms = 10, .seed = 11}));
    ASSERT_TRUE(both_ended(s)) << both_errs(s);
    EXPECT_EQ(s.host.status, 0) << both_errs(s);
    EXPECT_EQ(s.guest.status, 0) << both_errs(s);
    EXPECT_NE(s.host.err().find("Zorbit: the other player left\n"), std::string::npos)
        << s.host.err();

    const std::string hashes = s.host.read("hashes.txt");
    // 3 s of clock, then the deciding goal, then its end.
    EXPECT_GT(std::count(hashes.begin(), hashes.end(), '\n'), 300);
    EXPECT_EQ(s.guest.read("hashes.txt"), hashes);
    EXPECT_NE(winner(s.host), "");
    EXPECT_EQ(winner(s.guest), winner(s.host));
    EXPECT_EQ(log_played(s.host, "network-host.zrec"), hashes);
    EXPECT_EQ(log_played(s.guest, "network-guest.zrec"), hashes);
    EXPECT_GT(s.relay.stats.dropped, 0u);
    EXPECT_GT(s.relay.stats.duplicated, 0u);
}

// SIGKILL leaves the other side nothing but silence. Either side reads it the same way.
TEST(NetPlay, KillingTheGuestMakesTheHostReportTheLostConnectionAndEnd) {
    Session s;
    // Paced at about 100 frames a second: under way after 300 datagrams, and far from over.
    ASSERT_NO_FATAL_FAILURE(session_start(s, {.delay_min_ms = 10, .delay_max_ms = 10}));
    ASSERT_TRUE(wait_until(s.relay, session_cap_ms, [&] { return s.relay.stats.delivered >= 300; }))
        << both_errs(s);
    ASSERT_FALSE(side_ended(s.host)) << both_errs(s);
    ASSERT_EQ(kill(s.guest.pid, SIGKILL), 0);
    ASSERT_TRUE(wait_until(s.relay, lost_cap_ms, [&] { return side_ended(s.host); }))
        << s.host.err();
    EXPECT_EQ(s.host.status, 1) << s.host.err();
    EXPECT_NE(s.host.err().find("Zorbit: the connection to the other player was lost\n"),
              std::string::npos)
        << s.host.err();
    EXPECT_EQ(winner(s.host), "") << "the match was over before the kill";
}

// One letter of the readme differs: still a sound archive, but not the same game.
TEST(NetPlay, AnotherArchiveIsNamedOnBothSidesAndNoMatchIsPlayed) {
    Session s;
    std::vector<TestEntry> entries = game_archive_entries();
    entries[1].contents[3] ^= 0x01;
    ASSERT_NO_FATAL_FAILURE(session_start(s, {}, entries));
    ASSERT_TRUE(both_ended(s)) << both_errs(s);
    for (const Side* side : {&s.host, &s.guest}) {
        EXPECT_EQ(side->status, 1) << side->err();
        EXPECT_NE(side->err().find("Zorbit: the other player has a different zrb.res\n"),
                  std::string::npos)
            << side->err();
        EXPECT_EQ(side->read("hashes.txt"), "");
        EXPECT_TRUE(trace_lines_with(side->read("trace.txt"), "match start").empty());
    }
}

} // namespace
