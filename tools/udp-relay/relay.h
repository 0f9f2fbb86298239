#pragma once
// A UDP relay on 127.0.0.1 that misbehaves on purpose: the client sends to the relay's port, the
// relay passes each datagram on to the server (and the answers back) after a random delay, and
// drops or doubles a share of them. Random delays reorder datagrams as a real network does.
#include <chrono>
#include <cstdint>
#include <enet/enet.h>
#include <random>
#include <vector>

struct RelayOptions {
    uint16_t listen_port = 0; // 0 takes any free port
    uint16_t server_port = 0;
    double drop = 0.0;      // share of datagrams lost, each way
    double duplicate = 0.0; // share sent twice
    uint32_t delay_min_ms = 0;
    uint32_t delay_max_ms = 0; // each datagram waits a uniform time in [min, max]
    uint64_t seed = 1;
};

struct RelayDatagram {
    uint32_t due_ms;
    uint32_t order; // keeps datagrams that are due together in arrival order
    bool to_server;
    std::vector<uint8_t> bytes;
};

struct RelayStats {
    uint64_t received;
    uint64_t dropped;
    uint64_t duplicated;
    uint64_t delivered;
};

struct UdpRelay {
    RelayOptions options;
    ENetSocket client_side = ENET_SOCKET_NULL; // where the client sends
    ENetSocket server_side = ENET_SOCKET_NULL; // what the server sees as its client
    ENetAddress client{};
    bool client_known = false;
    bool started = false; // holds a reference on ENet's global set-up
    std::vector<RelayDatagram> queue;
    uint32_t received_order = 0;
    std::mt19937_64 random;
    std::chrono::steady_clock::time_point epoch;
    RelayStats stats{};
};

bool udp_relay_open(UdpRelay& relay, const RelayOptions& options);
uint16_t udp_relay_port(const UdpRelay& relay);
// Takes in every waiting datagram and sends every one that is due; returns at once.
void udp_relay_pump(UdpRelay& relay);
// Waits up to ms for a datagram to arrive or to fall due, then pumps.
void udp_relay_wait(UdpRelay& relay, uint32_t ms);
void udp_relay_close(UdpRelay& relay);
