// Network sessions between two zorbit-replay processes on 127.0.0.1.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
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

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

const std::string replay_tool = ZORBIT_BINARY_DIR "/tools/zorbit-replay/zorbit-replay";

constexpr uint32_t session_cap_ms = 60000; // real time for one whole session
constexpr uint32_t lost_limit_ms = 6000;   // a killed side is reported lost within this
constexpr uint32_t start_cap_ms = 20000;   // for a sanitized program to start and say its port

const char* session_ini = "[general]\ngamespeed=30\ngamelength=3\n";

// The scripted clock also runs while a side waits for the other, so the ticks leave wide margins.
// The guest starts the match, ends its end screen for both sides, then leaves on the title.
const char* guest_script = "1 down space\n"
                           "1000 down left\n1300 up left\n"
                           "30000 up space\n"
                           "100000 down space\n100100 up space\n"
                           "100300 down escape\n200000 up escape\n";
const char* host_script = "2000 down right\n2300 up right\n";
// The host's clock runs as fast as it spins while it waits: only the real-time cap bounds it.
const char* guest_time_limit = "400000";
const char* host_time_limit = "2000000000";

struct Child {
    pid_t pid = -1;
    bool running = false;
    int status = -1; // the exit status once it ended; -1 when a signal ended it
    ~Child() {
        if (running) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
};

// Starts args[0] with standard output thrown away and standard error into err.
bool child_start(Child& child, const std::vector<std::string>& args,
                 const std::filesystem::path& err) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char*> argv;
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    child.running = posix_spawn(&child.pid, argv[0], &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    return child.running;
}

bool child_ended(Child& child) {
    int raw = 0;
    if (child.running && waitpid(child.pid, &raw, WNOHANG) == child.pid) {
        child.running = false;
        child.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    return !child.running;
}

// Looks again every millisecond until done() or limit_ms of real time; pumps the relay if any.
bool wait_until(uint32_t limit_ms, UdpRelay* relay, const std::function<bool()>& done) {
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(limit_ms);
    while (!done()) {
        if (Clock::now() > end) {
            return false;
        }
        if (relay != nullptr) {
            udp_relay_wait(*relay, 1);
        } else {
            usleep(1000);
        }
    }
    return true;
}

struct Side {
    GameFolder folder;
    Child child;
    std::string path(const char* name) const { return (folder / name).string(); }
    std::string err() const { return test_read_text(folder / "err.txt"); }
    std::string hashes() const { return test_read_text(folder / "hashes.txt"); }
    std::string trace() const { return test_read_text(folder / "trace.txt"); }
};

bool side_start(Side& side, const char* script, const char* time_limit, const std::string& role,
                const std::string& where,
                const std::vector<TestEntry>& entries = game_archive_entries()) {
    game_folder_make(side.folder, session_ini, entries);
    std::ofstream(side.folder / "script.txt") << script;
    return child_start(side.child,
                       {replay_tool, "--dir", side.folder.path.string(), "--frame-ms", "1",
                        "--time-limit", time_limit, "--hashes", side.path("hashes.txt"), "--trace",
                        side.path("trace.txt"), role, where, side.path("script.txt")},
                       side.folder / "err.txt");
}

// The port the host's system gave it, from the line the host writes on stderr; 0 if none came.
uint16_t host_port(Side& host) {
    unsigned port = 0;
    wait_until(start_cap_ms, nullptr, [&] {
        const std::string err = host.err();
        const size_t at = err.find("waiting for a player on port ");
        if (at != std::string::npos && err.find('\n', at) != std::string::npos) {
            std::sscanf(err.c_str() + at, "waiting for a player on port %u", &port);
        }
        return port != 0 || child_ended(host.child);
    });
    return uint16_t(port);
}

struct Session {
    Side host;
    Side guest;
    UdpRelay relay;
    ~Session() { udp_relay_close(relay); }
};

// The host on port 0, then the guest joining it through the relay.
void session_start(Session& s, RelayOptions relay,
                   const std::vector<TestEntry>& guest_entries = game_archive_entries()) {
    ASSERT_TRUE(side_start(s.host, host_script, host_time_limit, "--host", "0"));
    uint16_t port = host_port(s.host);
    ASSERT_NE(port, 0) << s.host.err();
    relay.server_port = port;
    ASSERT_TRUE(udp_relay_open(s.relay, relay));
    const std::string address = "127.0.0.1:" + std::to_string(udp_relay_port(s.relay));
    ASSERT_TRUE(
        side_start(s.guest, guest_script, guest_time_limit, "--join", address, guest_entries));
}

bool both_ended(Session& s, uint32_t limit_ms) {
    return wait_until(limit_ms, &s.relay,
                      [&] { return child_ended(s.host.child) && child_ended(s.guest.child); });
}

std::string both_errs(const Session& s) {
    return "host: " + s.host.err() + "guest: " + s.guest.err();
}

// The hashes of a side's input log played back in one process.
std::string log_played(const Side& side, const char* log) {
    replay_run(side.folder, "", std::string("--hashes played.txt --play ") + log);
    return test_read_text(side.folder / "played.txt");
}

std::string winner(const std::string& trace) {
    const std::vector<std::string> lines = trace_lines_with(trace, "wins");
    return lines.empty() ? "" : lines.front();
}

// Both sides hash the same frames; the playback of either side's log hashes them again; the
// guest's Escape on the title after the match is read as leaving on the host. Lost, reordered and
// doubled datagrams on the way; more of them would only make the test slower.
TEST(NetPlay, BothSidesAndBothLogsShowTheSameFramesThroughALossyRelay) {
    Session s;
    const RelayOptions lossy{.drop = 0.05, .duplicate = 0.02, .delay_max_ms = 10, .seed = 11};
    session_start(s, lossy);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(both_ended(s, session_cap_ms)) << both_errs(s);
    EXPECT_EQ(s.host.child.status, 0) << both_errs(s);
    EXPECT_EQ(s.guest.child.status, 0) << both_errs(s);
    EXPECT_NE(s.host.err().find("Zorbit: the other player left\n"), std::string::npos)
        << s.host.err();

    const std::string hashes = s.host.hashes();
    // 3 s of clock, then the deciding goal, then its end.
    EXPECT_GT(std::count(hashes.begin(), hashes.end(), '\n'), 300);
    EXPECT_EQ(s.guest.hashes(), hashes);
    EXPECT_NE(winner(s.host.trace()), "");
    EXPECT_EQ(winner(s.guest.trace()), winner(s.host.trace()));
    EXPECT_EQ(log_played(s.host, "network-host.zrec"), hashes);
    EXPECT_EQ(log_played(s.guest, "network-guest.zrec"), hashes);
    EXPECT_GT(s.relay.stats.dropped, 0u);
    EXPECT_GT(s.relay.stats.duplicated, 0u);
}

// SIGKILL leaves the other side nothing but silence. Either side reads it the same way.
TEST(NetPlay, KillingTheGuestMakesTheHostReportTheLostConnectionAndEnd) {
    Session s;
    // Paced at about 100 frames a second: under way after 300 datagrams, and far from over.
    const RelayOptions paced{.delay_min_ms = 10, .delay_max_ms = 10};
    session_start(s, paced);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(wait_until(session_cap_ms, &s.relay, [&] {
        return s.relay.stats.delivered >= 300;
    })) << both_errs(s);
    ASSERT_FALSE(child_ended(s.host.child)) << both_errs(s);
    ASSERT_EQ(kill(s.guest.child.pid, SIGKILL), 0);
    ASSERT_TRUE(wait_until(3 * lost_limit_ms, &s.relay, [&] { return child_ended(s.host.child); }))
        << s.host.err();
    EXPECT_EQ(s.host.child.status, 1) << s.host.err();
    EXPECT_NE(s.host.err().find("Zorbit: the connection to the other player was lost\n"),
              std::string::npos)
        << s.host.err();
    EXPECT_EQ(winner(s.host.trace()), "") << "the match was over before the kill";
}

// One letter of the readme differs: still a sound archive, but not the same game.
TEST(NetPlay, AnotherArchiveIsNamedOnBothSidesAndNoMatchIsPlayed) {
    Session s;
    std::vector<TestEntry> entries = game_archive_entries();
    entries[1].contents[3] ^= 0x01;
    session_start(s, RelayOptions{}, entries);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(both_ended(s, session_cap_ms)) << both_errs(s);
    for (const Side* side : {&s.host, &s.guest}) {
        EXPECT_EQ(side->child.status, 1) << side->err();
        EXPECT_NE(side->err().find("Zorbit: the other player has a different zrb.res\n"),
                  std::string::npos)
            << side->err();
        EXPECT_EQ(side->hashes(), "");
        EXPECT_TRUE(trace_lines_with(side->trace(), "match start").empty());
    }
}

} // namespace
