#pragma once
// A network session: two games, one per machine, playing matches in lockstep over ENet. Each
// side sends its own side's record of frame f + D (D, the input delay, is the host's) when it
// plays frame f, and plays frame f once both records of f are here, so both run the same frames
// from the same records.
// Nothing here blocks unless the caller asks for a bounded wait; the caller keeps pumping its
// events and showing its last frame while a record is on its way.
#include <cstdint>
#include <memory>
#include <vector>

#include "input/input_record.h"
#include "net/net_protocol.h"

constexpr uint16_t net_default_port = 29170;
constexpr int32_t net_default_input_delay = 2;
constexpr uint32_t net_default_lost_after_ms = 5000;
constexpr uint32_t net_hash_interval = 60; // frames between two hashes of the match state

enum class NetRole : uint8_t { host, guest };

enum class NetStatus : uint8_t {
    waiting,   // host: no other player yet; guest: reaching the host
    handshake, // connected; the games are being compared
    ready,     // agreed on everything: title, matches and end screens run
    // Every status from here on ends the session, and net_session_message says why.
    left,        // this player left
    other_left,  // the other player left
    mismatch,    // the two games differ
    desync,      // the two match states differ
    lost,        // nothing arrived for lost_after_ms, or the connection broke
    refused,     // the host already has two players
    unreachable, // no host answered
    failed,      // no port to listen on, or an address that does not resolve
};

struct NetConfig {
    const char* game_version; // "1.0.0"
    uint64_t resource_hash;   // of zrb.res
    NetSettings settings;     // the host's are sent; a guest's are replaced by the host's
    const char* bind_address; // nullptr: every interface
    uint16_t port;            // where a host listens; 0 takes any free port
    uint32_t lost_after_ms;
};

// Fills the settings fields a game has; the rest of the config is the caller's.
NetSettings net_settings_make(double game_speed, int32_t game_length, bool plasma_enabled,
                              int32_t refresh_rate, int32_t input_delay);
double net_settings_game_speed(const NetSettings& settings);

struct NetLink; // the ENet side of a session
struct NetLinkClose {
    void operator()(NetLink* link) const;
};

struct NetHalfRecord {
    uint16_t match;
    uint32_t frame;
    uint8_t steer;
    uint8_t keys;
};

struct NetHashEntry {
    uint16_t match;
    uint32_t frame;
    uint64_t hash;
};

struct NetTraffic {
    uint32_t bytes_sent; // UDP payload, without the IP and UDP headers
    uint32_t bytes_received;
    uint32_t datagrams_sent;
    uint32_t datagrams_received;
};

constexpr int net_local_records = 16; // more than the largest input delay plus one

struct NetSession {
    std::unique_ptr<NetLink, NetLinkClose> link;
    NetRole role = NetRole::host;
    NetStatus status = NetStatus::failed;
    char message[160] = "";
    char address[96] = ""; // what a guest joins, as the player wrote it
    uint32_t lost_after_ms = net_default_lost_after_ms;
    uint32_t handshake_since = 0; // ENet's clock when the other side connected
    NetHello hello{};             // ours
    NetSettings settings{};       // in force for the session
    bool hello_checked = false;
    bool settings_received = false;
    bool peer_gone = false;    // disconnected after saying it leaves at a frame still to come
    bool playing = false;      // between net_session_match_begin and net_session_match_finish
    uint16_t match = 0;        // the match being played or last played; the first is 1
    uint32_t next_frame = 0;   // the frame net_session_take_input gives next
    uint32_t sent_until = 0;   // this side's records of every frame before this one are sent
    bool start_local = false;  // a key on this title asked for match + 1
    bool start_remote = false; // the other title did
    bool end_local = false;    // a key on this end screen ended it
    bool end_remote = false;
    uint32_t dropped = 0; // damaged or unexpected messages from the other side
    NetHalfRecord local_records[net_local_records]{};
    std::vector<NetHalfRecord> remote_records;
    std::vector<NetHashEntry> local_hashes;
    std::vector<NetHashEntry> remote_hashes;
};

// Listens for one other player. False, with status failed and a message, if the port is taken.
bool net_session_host(NetSession& session, const NetConfig& config);
// Reaches a host at "HOST" or "HOST:PORT". False, with status failed, for a bad address.
bool net_session_join(NetSession& session, const NetConfig& config, const char* address);
// The port the system gave the socket, which is what a test that binds port 0 needs.
uint16_t net_session_port(const NetSession& session);
// Sends what is queued and handles what arrived; returns at once.
void net_session_poll(NetSession& session);
// As poll, but waits up to ms for something to arrive first.
void net_session_wait(NetSession& session, uint32_t ms);
bool net_session_over(const NetSession& session);
// The line a player reads about the session's end (empty while it runs).
const char* net_session_message(const NetSession& session);
// This player leaves (Escape outside a match frame): the other side reads that it left.
void net_session_leave(NetSession& session);
// Leaves if still running, waits up to linger_ms for the other side to hear it, and frees all.
void net_session_close(NetSession& session, uint32_t linger_ms);
NetTraffic net_session_traffic(const NetSession& session);
// The side this game steers: 0 (red) for the host, 1 (green) for the guest.
int net_session_local_side(const NetSession& session);

// Title and end screens: the first key on either side decides for both.
void net_session_request_start(NetSession& session);
bool net_session_start_agreed(const NetSession& session);
// Starts the agreed match at frame 0; false when no start is agreed.
bool net_session_match_begin(NetSession& session);
// The match's last frame has been played (a side won, or a player left through its record).
void net_session_match_finish(NetSession& session);
void net_session_request_end(NetSession& session);
bool net_session_end_agreed(const NetSession& session);

// One turn of the frame loop, called with this side's keys as they are now: polls, and once
// the other side's record of frame next_frame is here, sends this side's record of frame
// next_frame + D from these keys and gives the whole record of frame next_frame. False while
// the other side's record is on its way: pump events, show the last frame and call again.
// The record's keys hold Escape from either side and this side's F11 and F12; F1 and F2 are
// off in a network match. After a frame with Escape the session is over (left or other_left).
bool net_session_take_input(NetSession& session, uint8_t steer, uint8_t keys, InputRecord& record);
// True for the frames whose state is hashed: every net_hash_interval-th.
bool net_hash_due(uint32_t frame);
// The caller's hash of its match state after frame `frame`; a difference ends the session.
void net_session_send_hash(NetSession& session, uint32_t frame, uint64_t hash);
