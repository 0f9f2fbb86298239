#include "net/net_session.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <enet/enet.h>

struct NetLink {
    ENetHost* host = nullptr;
    ENetPeer* peer = nullptr;
};

void NetLinkClose::operator()(NetLink* link) const {
    if (link->host != nullptr) {
        enet_host_destroy(link->host);
    }
    delete link;
    enet_deinitialize();
}

namespace {

constexpr size_t channel_count = 1;
constexpr size_t host_peer_slots = 2;        // the second slot exists to turn a third player away
constexpr uint32_t refuse_full = 0x5A46554C; // what a third player's disconnection carries
constexpr uint32_t receive_window = 64;      // frames a record may run ahead of the one played next
constexpr size_t hashes_kept = 16;
constexpr int events_per_poll = 256;
constexpr size_t packet_size_max = 1024;
constexpr size_t waiting_data_max = 64 * 1024;
constexpr uint32_t time_wrap = 86400000; // ENet's bound between times past and times ahead

uint32_t time_since(uint32_t then) {
    const uint32_t since = enet_time_get() - then;
    return since < time_wrap ? since : 0;
}

ENetPeer* session_peer(const NetSession& session) {
    return session.link ? session.link->peer : nullptr;
}

void session_end(NetSession& session, NetStatus status, const char* text) {
    session.status = status;
    std::snprintf(session.message, sizeof session.message, "%s", text);
}

bool session_running(const NetSession& session) {
    return session.status == NetStatus::waiting || session.status == NetStatus::handshake ||
           session.status == NetStatus::ready;
}

void session_send(NetSession& session, const NetMessage& message) {
    ENetPeer* peer = session_peer(session);
    uint8_t bytes[net_message_max];
    size_t size = net_message_encode(message, bytes, sizeof bytes);
    if (peer == nullptr || session.peer_gone || size == 0) {
        return;
    }
    ENetPacket* packet = enet_packet_create(bytes, size, ENET_PACKET_FLAG_RELIABLE);
    if (packet != nullptr && enet_peer_send(peer, 0, packet) < 0) {
        enet_packet_destroy(packet);
    }
}

// Tells the other side why this one stops, then lets ENet deliver everything queued first.
void session_say_bye(NetSession& session, NetByeReason reason, uint32_t frame) {
    NetMessage bye{};
    bye.type = NetMessageType::bye;
    bye.reason = reason;
    bye.match = session.match;
    bye.frame = frame;
    session_send(session, bye);
    ENetPeer* peer = session_peer(session);
    if (peer != nullptr && !session.peer_gone) {
        enet_peer_disconnect_later(peer, uint32_t(reason));
    }
}

void session_drop(NetSession& session, const char* what) {
    if (session.dropped++ == 0) {
        std::fprintf(stderr, "Zorbit: ignored %s from the other player\n", what);
    }
}

bool link_open(NetSession& session, const ENetAddress* address, size_t slots) {
    if (enet_initialize() != 0) {
        return false;
    }
    session.link.reset(new NetLink);
    session.link->host = enet_host_create(address, slots, channel_count, 0, 0);
    if (session.link->host == nullptr) {
        return false;
    }
    // Our messages are tiny: anything bigger is refused before it takes memory.
    session.link->host->maximumPacketSize = packet_size_max;
    session.link->host->maximumWaitingData = waiting_data_max;
    return true;
}

void session_start(NetSession& session, const NetConfig& config, NetRole role) {
    session = NetSession{};
    session.role = role;
    session.status = NetStatus::waiting;
    session.lost_after_ms =
        config.lost_after_ms > 0 ? config.lost_after_ms : net_default_lost_after_ms;
    session.settings = config.settings;
    session.hello.protocol = net_protocol_version;
    session.hello.resource_hash = config.resource_hash;
    std::snprintf(session.hello.game_version, sizeof session.hello.game_version, "%s",
                  config.game_version != nullptr ? config.game_version : "");
}

bool address_resolve(ENetAddress& address, const char* name, uint16_t port) {
    address.host = ENET_HOST_ANY;
    address.port = port;
    return name == nullptr || enet_address_set_host(&address, name) == 0;
}

// "HOST" or "HOST:PORT"; the port must be a whole number from 1 to 65535.
bool address_split(const char* text, char* name, size_t size, uint16_t& port) {
    const char* colon = std::strrchr(text, ':');
    size_t length = colon != nullptr ? size_t(colon - text) : std::strlen(text);
    port = net_default_port;
    if (length == 0 || length >= size) {
        return false;
    }
    std::memcpy(name, text, length);
    name[length] = '\0';
    if (colon == nullptr) {
        return true;
    }
    char* end = nullptr;
    long value = std::strtol(colon + 1, &end, 10);
    port = uint16_t(value);
    return colon[1] >= '0' && colon[1] <= '9' && *end == '\0' && value >= 1 && value <= 65535;
}

void peer_configure(NetSession& session, ENetPeer* peer) {
    // ENet gives up on a peer whose reliable data stays unacknowledged this long.
    enet_peer_timeout(peer, 0, session.lost_after_ms, session.lost_after_ms);
}

// Opens the guest's socket and asks the host to connect; on failure, says why in text.
bool session_connect(NetSession& session, const NetConfig& config, char* text, size_t size) {
    char name[96];
    uint16_t port = 0;
    ENetAddress remote;
    ENetAddress local;
    if (!address_split(session.address, name, sizeof name, port)) {
        std::snprintf(text, size, "cannot join \"%s\": give HOST or HOST:PORT", session.address);
        return false;
    }
    if (!address_resolve(remote, name, port) || remote.host == ENET_HOST_ANY) {
        std::snprintf(text, size, "cannot find the host %s", name);
        return false;
    }
    const bool bound = config.bind_address != nullptr;
    ENetPeer* peer = nullptr;
    if (address_resolve(local, config.bind_address, 0) &&
        link_open(session, bound ? &local : nullptr, 1)) {
        peer = enet_host_connect(session.link->host, &remote, channel_count, 0);
    }
    if (peer == nullptr) {
        std::snprintf(text, size, "cannot open a network socket");
        return false;
    }
    session.link->peer = peer;
    peer_configure(session, peer);
    return true;
}

void session_send_greeting(NetSession& session) {
    NetMessage hello{};
    hello.type = NetMessageType::hello;
    hello.hello = session.hello;
    session_send(session, hello);
    if (session.role == NetRole::host) {
        NetMessage settings{};
        settings.type = NetMessageType::settings;
        settings.settings = session.settings;
        session_send(session, settings);
    }
}

void session_on_connect(NetSession& session, ENetPeer* peer) {
    if (session.role == NetRole::host && session.link->peer == nullptr &&
        session.status == NetStatus::waiting) {
        session.link->peer = peer;
    }
    if (peer != session.link->peer) {
        enet_peer_disconnect(peer, refuse_full);
        return;
    }
    peer_configure(session, peer);
    session.status = NetStatus::handshake;
    session.handshake_since = enet_time_get();
    session_send_greeting(session);
}

void session_on_disconnect(NetSession& session, const ENetEvent& event) {
    if (event.peer != session.link->peer) {
        return;
    }
    bool leaving_later = session.peer_gone;
    session.peer_gone = true;
    session.link->peer = nullptr;
    if (!session_running(session) || leaving_later) {
        return;
    }
    if (event.data == refuse_full) {
        session_end(session, NetStatus::refused, "that game already has two players");
    } else if (session.status == NetStatus::waiting) {
        char text[160];
        std::snprintf(text, sizeof text, "could not reach %s", session.address);
        session_end(session, NetStatus::unreachable, text);
    } else {
        session_end(session, NetStatus::lost, "the connection to the other player was lost");
    }
}

void session_check_ready(NetSession& session) {
    if (session.hello_checked && (session.role == NetRole::host || session.settings_received)) {
        session.status = NetStatus::ready;
    }
}

void session_on_hello(NetSession& session, const NetHello& theirs) {
    char text[160];
    if (!net_hello_compare(session.hello, theirs, text, sizeof text)) {
        session_end(session, NetStatus::mismatch, text);
        session_say_bye(session, NetByeReason::mismatch, net_frame_none);
        return;
    }
    session.hello_checked = true;
    session_check_ready(session);
}

void session_handshake_message(NetSession& session, const NetMessage& message) {
    if (message.type == NetMessageType::hello && !session.hello_checked) {
        session_on_hello(session, message.hello);
    } else if (message.type == NetMessageType::settings && session.role == NetRole::guest &&
               session.hello_checked) {
        session.settings = message.settings;
        session.settings_received = true;
        session_check_ready(session);
    } else {
        session_end(session, NetStatus::mismatch, "the other side is not a Zorbit game");
        session_say_bye(session, NetByeReason::mismatch, net_frame_none);
    }
}

int remote_side(const NetSession& session) {
    return 1 - net_session_local_side(session);
}

uint32_t input_delay(const NetSession& session) {
    return session.settings.input_delay;
}

bool remote_record_wanted(const NetSession& session, const NetMessage& message) {
    const uint32_t frame = message.frame;
    if (frame < input_delay(session)) {
        return false; // the first D frames of every match are empty on both sides
    }
    if (message.match == uint16_t(session.match + 1)) {
        return frame < receive_window;
    }
    return session.playing && message.match == session.match && frame >= session.next_frame &&
           frame - session.next_frame < receive_window;
}

NetHalfRecord* remote_record_find(NetSession& session, uint16_t match, uint32_t frame) {
    for (NetHalfRecord& record : session.remote_records) {
        if (record.match == match && record.frame == frame) {
            return &record;
        }
    }
    return nullptr;
}

// The other side's last records and hashes of a match may arrive after it ended here.
bool match_is_over(const NetSession& session, uint16_t match) {
    const uint16_t behind = uint16_t(session.match - match);
    return (behind == 0 && !session.playing) || (behind > 0 && behind < 0x8000);
}

void session_on_input(NetSession& session, const NetMessage& message) {
    if (match_is_over(session, message.match) && message.match != uint16_t(session.match + 1)) {
        return;
    }
    if (!remote_record_wanted(session, message) ||
        remote_record_find(session, message.match, message.frame) != nullptr ||
        session.remote_records.size() >= 2 * receive_window) {
        session_drop(session, "an input record out of turn");
        return;
    }
    session.remote_records.push_back({message.match, message.frame, message.steer, message.keys});
}

void hashes_keep(std::vector<NetHashEntry>& hashes, const NetHashEntry& entry) {
    if (hashes.size() >= hashes_kept) {
        hashes.erase(hashes.begin());
    }
    hashes.push_back(entry);
}

void session_desync(NetSession& session, uint16_t match, uint32_t frame) {
    char text[160];
    std::snprintf(text, sizeof text, "the two games went out of step at frame %u of match %u",
                  unsigned(frame), unsigned(match));
    session_end(session, NetStatus::desync, text);
}

// Compares a new hash with the other side's hash of the same frame, if that is here.
void hashes_compare(NetSession& session, const NetHashEntry& entry,
                    const std::vector<NetHashEntry>& others) {
    for (const NetHashEntry& other : others) {
        if (other.match == entry.match && other.frame == entry.frame && other.hash != entry.hash) {
            session_desync(session, entry.match, entry.frame);
            session_say_bye(session, NetByeReason::desync, entry.frame);
            return;
        }
    }
}

void session_on_hash(NetSession& session, const NetMessage& message) {
    if (message.match != session.match && match_is_over(session, message.match)) {
        return;
    }
    if (message.match != session.match || session.match == 0) {
        session_drop(session, "a hash out of turn");
        return;
    }
    const NetHashEntry entry{message.match, message.frame, message.hash};
    hashes_keep(session.remote_hashes, entry);
    hashes_compare(session, entry, session.local_hashes);
}

void session_on_bye(NetSession& session, const NetMessage& message) {
    switch (message.reason) {
    case NetByeReason::left:
        // Left through the record of a frame still to be played here: that frame says so.
        if (session.playing && message.match == session.match && message.frame != net_frame_none &&
            message.frame >= session.next_frame) {
            session.peer_gone = true;
            return;
        }
        session_end(session, NetStatus::other_left, "the other player left");
        return;
    case NetByeReason::mismatch:
        session_end(session, NetStatus::mismatch,
                    "the other player's game does not match this one");
        return;
    case NetByeReason::desync:
        session_desync(session, message.match, message.frame);
        return;
    }
}

void session_on_start(NetSession& session, uint16_t match) {
    if (match == uint16_t(session.match + 1)) {
        session.start_remote = true;
    } else if (match != session.match) {
        session_drop(session, "a start out of turn");
    }
}

void session_on_end(NetSession& session, uint16_t match) {
    if (match == session.match && match != 0) {
        session.end_remote = true;
    } else {
        session_drop(session, "an end out of turn");
    }
}

void session_ready_message(NetSession& session, const NetMessage& message) {
    switch (message.type) {
    case NetMessageType::start:
        session_on_start(session, message.match);
        return;
    case NetMessageType::end:
        session_on_end(session, message.match);
        return;
    case NetMessageType::input:
        session_on_input(session, message);
        return;
    case NetMessageType::hash:
        session_on_hash(session, message);
        return;
    case NetMessageType::bye:
        session_on_bye(session, message);
        return;
    case NetMessageType::hello:
    case NetMessageType::settings:
        session_drop(session, "a second greeting");
        return;
    }
}

void session_on_receive(NetSession& session, const ENetEvent& event) {
    NetMessage message{};
    bool valid = net_message_decode(event.packet->data, event.packet->dataLength, message);
    if (event.peer != session.link->peer || !session_running(session)) {
        return;
    }
    if (session.status == NetStatus::handshake) {
        session_handshake_message(session, message); // a damaged greeting has type 0
    } else if (!valid) {
        session_drop(session, "a damaged message");
    } else {
        session_ready_message(session, message);
    }
}

void session_on_event(NetSession& session, ENetEvent& event) {
    switch (event.type) {
    case ENET_EVENT_TYPE_CONNECT:
        session_on_connect(session, event.peer);
        return;
    case ENET_EVENT_TYPE_DISCONNECT:
        session_on_disconnect(session, event);
        return;
    case ENET_EVENT_TYPE_RECEIVE:
        session_on_receive(session, event);
        enet_packet_destroy(event.packet);
        return;
    case ENET_EVENT_TYPE_NONE:
        return;
    }
}

// ENet's own timeout counts from the oldest unacknowledged packet; a player reads the silence.
// A program that connects but never says hello is turned away after as long.
void session_check_silence(NetSession& session) {
    ENetPeer* peer = session_peer(session);
    if (peer == nullptr || session.peer_gone || session.status == NetStatus::waiting ||
        !session_running(session)) {
        return;
    }
    if (session.status == NetStatus::handshake &&
        time_since(session.handshake_since) >= session.lost_after_ms) {
        session_end(session, NetStatus::mismatch, "the other side is not a Zorbit game");
        session_say_bye(session, NetByeReason::mismatch, net_frame_none);
    } else if (time_since(peer->lastReceiveTime) >= session.lost_after_ms) {
        enet_peer_reset(peer);
        session.link->peer = nullptr;
        session.peer_gone = true;
        session_end(session, NetStatus::lost, "the connection to the other player was lost");
    }
}

void session_service(NetSession& session, uint32_t ms) {
    if (!session.link || session.link->host == nullptr) {
        return;
    }
    ENetEvent event;
    for (int i = 0; i < events_per_poll; ++i) {
        if (enet_host_service(session.link->host, &event, i == 0 ? ms : 0) <= 0) {
            break;
        }
        session_on_event(session, event);
    }
    session_check_silence(session);
}

// Sends this side's record of a frame, once and in order, and keeps it for when it is played.
void local_record_send(NetSession& session, uint32_t frame, uint8_t steer, uint8_t keys) {
    if (frame != session.sent_until) {
        return;
    }
    const NetHalfRecord mine{session.match, frame, uint8_t(steer & steer_all),
                             uint8_t(keys & (match_key_escape | match_key_f11 | match_key_f12))};
    session.local_records[frame % net_local_records] = mine;
    session.sent_until = frame + 1;
    NetMessage input{};
    input.type = NetMessageType::input;
    input.match = mine.match;
    input.frame = mine.frame;
    input.steer = mine.steer;
    input.keys = mine.keys;
    session_send(session, input);
    enet_host_flush(session.link->host);
}

// The other side's record of a frame, once it is here; the first D frames' are empty.
bool remote_record_take(NetSession& session, uint32_t frame, NetHalfRecord& theirs) {
    theirs = {session.match, frame, 0, 0};
    if (frame < input_delay(session)) {
        return true;
    }
    const NetHalfRecord* found = remote_record_find(session, session.match, frame);
    if (found == nullptr) {
        if (session.peer_gone) {
            session_end(session, NetStatus::lost, "the connection to the other player was lost");
        }
        return false;
    }
    theirs = *found;
    std::erase_if(session.remote_records, [&](const NetHalfRecord& record) {
        return record.match == session.match && record.frame == frame;
    });
    return true;
}

NetHalfRecord local_record(const NetSession& session, uint32_t frame) {
    if (frame < input_delay(session)) {
        return {session.match, frame, 0, 0};
    }
    return session.local_records[frame % net_local_records];
}

void record_fill(const NetSession& session, uint32_t frame, const NetHalfRecord& mine,
                 const NetHalfRecord& theirs, InputRecord& record) {
    record.steer[net_session_local_side(session)] = mine.steer;
    record.steer[remote_side(session)] = theirs.steer;
    // F11 and F12 change only how this screen draws, so the other side's stay there.
    record.keys = uint8_t((mine.keys & (match_key_f11 | match_key_f12)) |
                          ((mine.keys | theirs.keys) & match_key_escape));
    record.elapsed_ms = net_frame_ms(session.settings.refresh_rate, frame);
}

void session_after_escape(NetSession& session, const NetHalfRecord& mine, uint32_t frame) {
    if (mine.keys & match_key_escape) {
        session_end(session, NetStatus::left, "this player left");
        session_say_bye(session, NetByeReason::left, frame);
        return;
    }
    session_end(session, NetStatus::other_left, "the other player left");
    ENetPeer* peer = session_peer(session);
    if (peer != nullptr && !session.peer_gone) {
        enet_peer_disconnect_later(peer, uint32_t(NetByeReason::left));
    }
}

} // namespace

NetSettings net_settings_make(double game_speed, int32_t game_length, bool plasma_enabled,
                              int32_t refresh_rate, int32_t input_delay) {
    NetSettings settings{};
    std::memcpy(&settings.game_speed_bits, &game_speed, sizeof game_speed);
    settings.game_length = game_length;
    settings.plasma_enabled = plasma_enabled ? 1 : 0;
    settings.refresh_rate = uint16_t(std::clamp(refresh_rate, 1, net_refresh_rate_max));
    settings.input_delay = uint8_t(std::clamp(input_delay, 0, net_input_delay_max));
    return settings;
}

double net_settings_game_speed(const NetSettings& settings) {
    double speed;
    std::memcpy(&speed, &settings.game_speed_bits, sizeof speed);
    return speed;
}

bool net_session_host(NetSession& session, const NetConfig& config) {
    session_start(session, config, NetRole::host);
    ENetAddress address;
    if (!address_resolve(address, config.bind_address, config.port) ||
        !link_open(session, &address, host_peer_slots)) {
        char text[160];
        std::snprintf(text, sizeof text, "cannot listen on network port %u", unsigned(config.port));
        session_end(session, NetStatus::failed, text);
        session.link.reset();
        return false;
    }
    return true;
}

bool net_session_join(NetSession& session, const NetConfig& config, const char* address) {
    session_start(session, config, NetRole::guest);
    std::snprintf(session.address, sizeof session.address, "%s", address ? address : "");
    char text[160];
    if (!session_connect(session, config, text, sizeof text)) {
        session_end(session, NetStatus::failed, text);
        session.link.reset();
        return false;
    }
    return true;
}

uint16_t net_session_port(const NetSession& session) {
    ENetAddress address{};
    if (!session.link || enet_socket_get_address(session.link->host->socket, &address) != 0) {
        return 0;
    }
    return address.port;
}

void net_session_poll(NetSession& session) {
    session_service(session, 0);
}

void net_session_wait(NetSession& session, uint32_t ms) {
    session_service(session, ms);
}

bool net_session_over(const NetSession& session) {
    return !session_running(session);
}

const char* net_session_message(const NetSession& session) {
    return session.message;
}

void net_session_leave(NetSession& session) {
    if (!session_running(session)) {
        return;
    }
    session_end(session, NetStatus::left, "this player left");
    session_say_bye(session, NetByeReason::left, net_frame_none);
}

void net_session_close(NetSession& session, uint32_t linger_ms) {
    net_session_leave(session);
    ENetPeer* peer = session_peer(session);
    if (peer != nullptr && !session.peer_gone) {
        enet_peer_disconnect_later(peer, uint32_t(NetByeReason::left));
    }
    const uint32_t begin = enet_time_get();
    while (session_peer(session) != nullptr && time_since(begin) < linger_ms) {
        session_service(session, 10);
    }
    session.link.reset();
}

NetTraffic net_session_traffic(const NetSession& session) {
    if (!session.link) {
        return {};
    }
    const ENetHost* host = session.link->host;
    return {host->totalSentData, host->totalReceivedData, host->totalSentPackets,
            host->totalReceivedPackets};
}

int net_session_local_side(const NetSession& session) {
    return session.role == NetRole::host ? 0 : 1;
}

void net_session_request_start(NetSession& session) {
    if (session.status != NetStatus::ready || session.playing || session.start_local ||
        session.start_remote) {
        return;
    }
    session.start_local = true;
    NetMessage start{};
    start.type = NetMessageType::start;
    start.match = uint16_t(session.match + 1);
    session_send(session, start);
}

bool net_session_start_agreed(const NetSession& session) {
    return session.status == NetStatus::ready && !session.playing &&
           (session.start_local || session.start_remote);
}

bool net_session_match_begin(NetSession& session) {
    if (!net_session_start_agreed(session)) {
        return false;
    }
    session.match = uint16_t(session.match + 1);
    session.playing = true;
    session.next_frame = 0;
    session.sent_until = input_delay(session);
    session.start_local = session.start_remote = false;
    session.end_local = session.end_remote = false;
    std::erase_if(session.remote_records,
                  [&](const NetHalfRecord& record) { return record.match != session.match; });
    session.local_hashes.clear();
    session.remote_hashes.clear();
    return true;
}

void net_session_match_finish(NetSession& session) {
    session.playing = false;
}

void net_session_request_end(NetSession& session) {
    if (session.status != NetStatus::ready || session.playing || session.match == 0 ||
        session.end_local || session.end_remote) {
        return;
    }
    session.end_local = true;
    NetMessage end{};
    end.type = NetMessageType::end;
    end.match = session.match;
    session_send(session, end);
}

bool net_session_end_agreed(const NetSession& session) {
    return !session.playing && (session.end_local || session.end_remote);
}

bool net_session_take_input(NetSession& session, uint8_t steer, uint8_t keys, InputRecord& record) {
    if (session.status != NetStatus::ready || !session.playing) {
        return false;
    }
    session_service(session, 0);
    const uint32_t frame = session.next_frame;
    const uint32_t delay = input_delay(session);
    if (delay == 0) {
        local_record_send(session, frame, steer, keys); // neither side can play before it's sent
    }
    NetHalfRecord theirs{};
    if (session.status != NetStatus::ready || !remote_record_take(session, frame, theirs)) {
        return false;
    }
    if (delay > 0) {
        local_record_send(session, frame + delay, steer, keys); // sampled as late as it can be
    }
    const NetHalfRecord mine = local_record(session, frame);
    record_fill(session, frame, mine, theirs, record);
    session.next_frame = frame + 1;
    if ((mine.keys | theirs.keys) & match_key_escape) {
        session_after_escape(session, mine, frame);
    }
    return true;
}

bool net_hash_due(uint32_t frame) {
    return (frame + 1) % net_hash_interval == 0;
}

void net_session_send_hash(NetSession& session, uint32_t frame, uint64_t hash) {
    if (session.status != NetStatus::ready || session.match == 0) {
        return;
    }
    const NetHashEntry entry{session.match, frame, hash};
    hashes_keep(session.local_hashes, entry);
    NetMessage message{};
    message.type = NetMessageType::hash;
    message.match = entry.match;
    message.frame = entry.frame;
    message.hash = entry.hash;
    session_send(session, message);
    hashes_compare(session, entry, session.remote_hashes);
}
