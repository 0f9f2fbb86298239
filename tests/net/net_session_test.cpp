#include <gtest/gtest.h>

#include <chrono>
#include <enet/enet.h>
#include <functional>
#include <string>
#include <vector>

#include "net/net_session.h"
#include "relay.h"

namespace {

// GameLength 3, GameSpeed 30 (tenths), 60 frames/s.
NetConfig net_test_config(int32_t input_delay = 2,
                          uint32_t lost_after_ms = net_default_lost_after_ms) {
    NetConfig config{};
    config.game_version = "1.0.0";
    config.resource_hash = 0x0123456789ABCDEFull;
    config.settings = net_settings_make(30 * double(0.1f), 3, true, 60, input_delay);
    config.bind_address = "127.0.0.1";
    config.lost_after_ms = lost_after_ms;
    return config;
}

// What each side's player does at each frame: steering that changes often, this side's F11 or
// F12 now and then, and F1, which must never reach a network match.
uint8_t script_steer(int side, uint32_t frame) {
    return uint8_t((frame * (side == 0 ? 5 : 7) + uint32_t(side) * 3) % 16);
}

uint8_t script_keys(int side, uint32_t frame) {
    return uint8_t((frame % 50 == 10 ? (side == 0 ? 8 : 16) : 0) | (frame % 30 == 0 ? 2 : 0));
}

struct NetPlayer {
    NetSession session{};
    int side;
    uint32_t escape_at = net_frame_none; // the frame whose record carries this side's Escape
    uint64_t hash_flip = 0;              // makes this side's state hashes differ
    std::vector<InputRecord> taken{};
};

// One turn of a side's frame loop: play a frame if it can, sending the record of next_frame + 2.
void player_step(NetPlayer& player) {
    NetSession& session = player.session;
    if (!session.playing || net_session_over(session)) {
        return;
    }
    const uint32_t target = session.next_frame + 2;
    const uint8_t keys = script_keys(player.side, target) | (target == player.escape_at ? 1 : 0);
    InputRecord record{};
    if (net_session_take_input(session, script_steer(player.side, target), keys, record)) {
        player.taken.push_back(record);
        const uint32_t frame = uint32_t(player.taken.size() - 1);
        if (net_hash_due(frame)) {
            net_session_send_hash(session, frame, frame + player.hash_flip);
        }
    }
}

class NetSessionTest : public ::testing::Test {
  protected:
    void TearDown() override {
        net_session_close(guest.session, 0);
        net_session_close(host.session, 0);
        udp_relay_close(relay);
    }
    // Pumps both sides until done() or until limit_ms of real time have passed; true when done.
    bool pump_until(uint32_t limit_ms, const std::function<bool()>& done) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limit_ms);
        while (!done()) {
            if (std::chrono::steady_clock::now() > end) {
                return false;
            }
            net_session_wait(host.session, 1);
            net_session_poll(guest.session);
            net_session_wait(guest.session, 1);
            net_session_poll(host.session);
            if (relayed) {
                udp_relay_pump(relay);
            }
        }
        return true;
    }
    // Host and guest (through the relay when one is given), pumped until both left the handshake.
    bool connect(const NetConfig& guest_config = net_test_config(),
                 const RelayOptions* through = nullptr) {
        if (!net_session_host(host.session, net_test_config())) {
            return false;
        }
        uint16_t port = net_session_port(host.session);
        if (through != nullptr) {
            RelayOptions options = *through;
            options.server_port = port;
            relayed = udp_relay_open(relay, options);
            port = udp_relay_port(relay);
        }
        return net_session_join(guest.session, guest_config,
                                ("127.0.0.1:" + std::to_string(port)).c_str()) &&
               pump_until(15000, [&] {
                   return host.session.status > NetStatus::handshake &&
                          guest.session.status > NetStatus::handshake;
               });
    }
    // Both sides agree on the start and begin the match.
    bool started() {
        const auto agreed = [&] {
            return net_session_start_agreed(host.session) &&
                   net_session_start_agreed(guest.session);
        };
        return pump_until(5000, agreed) && net_session_match_begin(host.session) &&
               net_session_match_begin(guest.session);
    }
    bool begin(const NetConfig& guest_config = net_test_config(),
               const RelayOptions* through = nullptr) {
        if (!connect(guest_config, through)) {
            return false;
        }
        net_session_request_start(host.session);
        return started();
    }
    bool play(size_t frames, uint32_t limit_ms) {
        return pump_until(limit_ms, [&] {
            player_step(host);
            player_step(guest);
            return (host.taken.size() >= frames || net_session_over(host.session)) &&
                   (guest.taken.size() >= frames || net_session_over(guest.session));
        });
    }
    // Both sides got the script's records 2 frames after they were sent, no F1 or F2, and play
    // the same frame lengths.
    void agree(size_t frames) {
        ASSERT_GE(host.taken.size(), frames);
        ASSERT_GE(guest.taken.size(), frames);
        for (uint32_t frame = 0; frame < frames; ++frame) {
            const bool scripted = frame >= 2;
            for (const NetPlayer* player : {&host, &guest}) {
                const InputRecord& record = player->taken[frame];
                for (int side = 0; side < 2; ++side) {
                    ASSERT_EQ(record.steer[side], scripted ? script_steer(side, frame) : 0)
                        << "side " << side << " frame " << frame;
                }
                const uint8_t own = scripted ? script_keys(player->side, frame) : 0;
                ASSERT_EQ(record.keys, own & (8 | 16)) << "frame " << frame;
            }
            ASSERT_EQ(host.taken[frame].elapsed_ms, guest.taken[frame].elapsed_ms);
        }
    }
    NetPlayer host{.side = 0};
    NetPlayer guest{.side = 1};
    UdpRelay relay;
    bool relayed = false;
};

// The guest asks for another speed, length, plasma, rate and delay; the records show it plays
// the host's: delay 2 and 60 frames/s on both sides.
TEST_F(NetSessionTest, LockstepOnTheHostsSettingsUntilEscapeEndsBothAtOneFrame) {
    NetConfig guest_config = net_test_config(5);
    guest_config.settings = net_settings_make(1.0, 84, false, 70, 5);
    ASSERT_TRUE(begin(guest_config));
    EXPECT_EQ(guest.session.settings.game_speed_bits, 0x4008000006000000ull);
    EXPECT_EQ(guest.session.settings.game_length, 3);
    EXPECT_EQ(guest.session.settings.plasma_enabled, 1);
    host.escape_at = 400;
    // The host's Escape travels in its record of frame 400. The guest stays two frames behind
    // until the host has left and gone, and must still play up to that frame.
    ASSERT_TRUE(pump_until(20000, [&] {
        player_step(host);
        if (guest.taken.size() < 399) {
            player_step(guest);
        }
        return net_session_over(host.session);
    }));
    pump_until(300, [] { return false; });
    ASSERT_TRUE(play(1000, 20000));
    ASSERT_EQ(host.taken.size(), 401u);
    ASSERT_EQ(guest.taken.size(), 401u);
    agree(400);
    EXPECT_EQ(host.taken[1].elapsed_ms + host.taken[2].elapsed_ms + host.taken[3].elapsed_ms, 50);
    EXPECT_EQ(guest.taken[400].keys & 1, 1);
    EXPECT_EQ(host.session.status, NetStatus::left);
    EXPECT_EQ(guest.session.status, NetStatus::other_left);
    EXPECT_STREQ(net_session_message(guest.session), "the other player left");
}

// Lost, delayed (so reordered) and doubled datagrams: ENet resends and orders them, and both
// sides still play the same records.
TEST_F(NetSessionTest, LockstepHoldsThroughALossyRelay) {
    const RelayOptions lossy{.drop = 0.10, .duplicate = 0.02, .delay_max_ms = 80, .seed = 7};
    ASSERT_TRUE(begin(net_test_config(), &lossy));
    ASSERT_TRUE(play(240, 45000));
    agree(240);
    EXPECT_GT(relay.stats.dropped, 0u);
    EXPECT_GT(relay.stats.duplicated, 0u);
    EXPECT_EQ(host.session.dropped + guest.session.dropped, 0u);
}

TEST_F(NetSessionTest, TitleAndEndKeysAgreeEvenWhenPressedTogether) {
    ASSERT_TRUE(connect());
    net_session_request_end(guest.session); // no match yet: nothing to end
    net_session_request_start(host.session);
    net_session_request_start(guest.session);
    ASSERT_TRUE(started());
    ASSERT_TRUE(play(30, 10000));
    net_session_match_finish(host.session);
    net_session_match_finish(guest.session);
    net_session_request_end(host.session);
    net_session_request_end(guest.session);
    ASSERT_TRUE(pump_until(5000, [&] {
        return net_session_end_agreed(host.session) && net_session_end_agreed(guest.session);
    }));
    EXPECT_FALSE(net_session_start_agreed(host.session));
    net_session_request_start(guest.session);
    ASSERT_TRUE(started());
    EXPECT_EQ(host.session.match, 2);
    EXPECT_EQ(guest.session.match, 2);
}

TEST_F(NetSessionTest, DifferentStateHashesStopBothAtTheFrame) {
    ASSERT_TRUE(begin());
    guest.hash_flip = 1;
    ASSERT_TRUE(play(200, 10000)); // over on both sides long before 200 frames
    for (const NetSession* session : {&host.session, &guest.session}) {
        EXPECT_EQ(session->status, NetStatus::desync);
        EXPECT_STREQ(net_session_message(*session),
                     "the two games went out of step at frame 59 of match 1");
    }
    EXPECT_LT(host.taken.size(), 70u);
}

ENetAddress loopback(uint16_t port) {
    ENetAddress address{};
    enet_address_set_host_ip(&address, "127.0.0.1");
    address.port = port;
    return address;
}

void stranger_datagrams(uint16_t port) {
    ENetSocket socket = enet_socket_create(ENET_SOCKET_TYPE_DATAGRAM);
    const ENetAddress address = loopback(port);
    for (uint8_t size : {1, 4, 12, 40, 200}) {
        std::vector<uint8_t> bytes(size, uint8_t(size * 37));
        ENetBuffer buffer{bytes.data(), bytes.size()};
        enet_socket_send(socket, &address, &buffer, 1);
    }
    enet_socket_destroy(socket);
}

TEST_F(NetSessionTest, AThirdPlayerIsTurnedAwayAndStrangersAreIgnored) {
    ASSERT_TRUE(begin());
    NetSession third;
    std::string address = "127.0.0.1:" + std::to_string(net_session_port(host.session));
    ASSERT_TRUE(net_session_join(third, net_test_config(), address.c_str()));
    stranger_datagrams(net_session_port(host.session));
    stranger_datagrams(net_session_port(guest.session));
    ASSERT_TRUE(pump_until(10000, [&] {
        net_session_poll(third);
        player_step(host);
        player_step(guest);
        return net_session_over(third) && host.taken.size() >= 120 && guest.taken.size() >= 120;
    }));
    EXPECT_EQ(third.status, NetStatus::refused);
    EXPECT_STREQ(net_session_message(third), "that game already has two players");
    agree(120);
    net_session_close(third, 0);
}

// Another ENet program reaches the host: one that sends a packet of its own, one that says nothing.
TEST_F(NetSessionTest, AProgramThatIsNotZorbitIsTurnedAway) {
    for (bool speaks : {true, false}) {
        ASSERT_TRUE(net_session_host(host.session, net_test_config(2, 1000)));
        const ENetAddress address = loopback(net_session_port(host.session));
        ENetHost* other = enet_host_create(nullptr, 1, 1, 0, 0);
        ENetPeer* peer = enet_host_connect(other, &address, 1, 0);
        ASSERT_TRUE(pump_until(3000, [&] {
            ENetEvent event;
            while (enet_host_service(other, &event, 0) > 0) {
                if (event.type == ENET_EVENT_TYPE_CONNECT && speaks) {
                    const char text[] = "GET / HTTP/1.0";
                    enet_peer_send(peer, 0, enet_packet_create(text, sizeof text, 1));
                }
                if (event.type == ENET_EVENT_TYPE_RECEIVE) {
                    enet_packet_destroy(event.packet);
                }
            }
            return net_session_over(host.session);
        }));
        EXPECT_EQ(host.session.status, NetStatus::mismatch);
        EXPECT_STREQ(net_session_message(host.session), "the other side is not a Zorbit game");
        enet_host_destroy(other);
        net_session_close(host.session, 0);
    }
}

// A bad address fails at once; a port that never answers, after a second.
TEST_F(NetSessionTest, JoiningWhereNoGameIsIsSaid) {
    for (const char* address :
         {":29170", "127.0.0.1: 5", "127.0.0.1:0", "127.0.0.1:65536", "127.0.0.1:12x"}) {
        NetSession session;
        EXPECT_FALSE(net_session_join(session, net_test_config(), address)) << address;
        EXPECT_EQ(session.status, NetStatus::failed) << address;
        EXPECT_EQ(net_session_message(session),
                  "cannot join \"" + std::string(address) + "\": give HOST or HOST:PORT");
    }
    EXPECT_FALSE(net_session_join(host.session, net_test_config(), "0.0.0.0:29170"));
    EXPECT_STREQ(net_session_message(host.session), "cannot find the host 0.0.0.0");

    UdpRelay silent; // a bound port that never answers
    ASSERT_TRUE(udp_relay_open(silent, RelayOptions{}));
    std::string address = "127.0.0.1:" + std::to_string(udp_relay_port(silent));
    ASSERT_TRUE(net_session_join(guest.session, net_test_config(2, 1000), address.c_str()));
    ASSERT_TRUE(pump_until(3000, [&] { return net_session_over(guest.session); }));
    EXPECT_EQ(guest.session.status, NetStatus::unreachable);
    EXPECT_EQ(net_session_message(guest.session), "could not reach " + address);
    udp_relay_close(silent);
}

} // namespace
