#pragma once
// Two sessions of one process talking over loopback, directly or through the lossy relay, and
// the clock-bounded pumping that every network test needs.
#include <chrono>
#include <functional>

#include "net/net_session.h"
#include "relay.h"

// Settings as the network tests run them: GameLength 3, GameSpeed 30 (tenths), 60 frames/s.
inline NetConfig net_test_config(int32_t input_delay = 2) {
    NetConfig config{};
    config.game_version = "1.0.0";
    config.resource_hash = 0x0123456789ABCDEFull;
    config.settings = net_settings_make(30 * double(0.1f), 3, true, 60, input_delay);
    config.bind_address = "127.0.0.1";
    config.port = 0;
    config.lost_after_ms = net_default_lost_after_ms; // what the game uses
    return config;
}

struct NetPair {
    NetSession host;
    NetSession guest;
    UdpRelay relay;
    bool relayed = false;
};

inline void net_pair_pump(NetPair& pair) {
    net_session_wait(pair.host, 1);
    net_session_poll(pair.guest);
    if (pair.relayed) {
        udp_relay_pump(pair.relay);
    }
    net_session_wait(pair.guest, 1);
    net_session_poll(pair.host);
    if (pair.relayed) {
        udp_relay_pump(pair.relay);
    }
}

// Pumps until done() or until limit_ms of real time have passed; true when done.
inline bool net_pair_pump_until(NetPair& pair, uint32_t limit_ms,
                                const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limit_ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        net_pair_pump(pair);
    }
    return true;
}

// Host and guest (through the relay when one is given), pumped until both left the handshake.
inline bool net_pair_connect(NetPair& pair, const NetConfig& host_config,
                             const NetConfig& guest_config, const RelayOptions* relay = nullptr) {
    if (!net_session_host(pair.host, host_config)) {
        return false;
    }
    uint16_t port = net_session_port(pair.host);
    if (relay != nullptr) {
        RelayOptions options = *relay;
        options.server_port = port;
        pair.relayed = udp_relay_open(pair.relay, options);
        port = udp_relay_port(pair.relay);
    }
    char address[32];
    std::snprintf(address, sizeof address, "127.0.0.1:%u", unsigned(port));
    if (!net_session_join(pair.guest, guest_config, address)) {
        return false;
    }
    auto settled = [&] {
        auto status_settled = [](NetStatus status) {
            return status != NetStatus::waiting && status != NetStatus::handshake;
        };
        return status_settled(pair.host.status) && status_settled(pair.guest.status);
    };
    return net_pair_pump_until(pair, 15000, settled);
}

inline void net_pair_close(NetPair& pair) {
    net_session_close(pair.guest, 0);
    net_session_close(pair.host, 0);
    udp_relay_close(pair.relay);
}
