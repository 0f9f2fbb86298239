#include "relay.h"

#include <algorithm>

namespace {

constexpr size_t datagram_max = 4096;
constexpr size_t queue_max = 4096;
constexpr int receives_per_pump = 256;

uint32_t relay_now(const UdpRelay& relay) {
    auto elapsed = std::chrono::steady_clock::now() - relay.epoch;
    return uint32_t(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

ENetSocket socket_open(uint16_t port) {
    ENetSocket socket = enet_socket_create(ENET_SOCKET_TYPE_DATAGRAM);
    ENetAddress address{};
    if (socket == ENET_SOCKET_NULL || enet_address_set_host_ip(&address, "127.0.0.1") != 0) {
        return socket;
    }
    address.port = port;
    if (enet_socket_bind(socket, &address) != 0 ||
        enet_socket_set_option(socket, ENET_SOCKOPT_NONBLOCK, 1) != 0) {
        enet_socket_destroy(socket);
        return ENET_SOCKET_NULL;
    }
    return socket;
}

bool relay_chance(UdpRelay& relay, double share) {
    return share > 0.0 && std::uniform_real_distribution<double>(0.0, 1.0)(relay.random) < share;
}

uint32_t relay_delay(UdpRelay& relay) {
    const RelayOptions& options = relay.options;
    if (options.delay_max_ms <= options.delay_min_ms) {
        return options.delay_min_ms;
    }
    return std::uniform_int_distribution<uint32_t>(options.delay_min_ms,
                                                   options.delay_max_ms)(relay.random);
}

void relay_enqueue(UdpRelay& relay, bool to_server, const uint8_t* bytes, size_t size) {
    if (relay.queue.size() >= queue_max) {
        relay.stats.dropped += 1;
        return;
    }
    RelayDatagram datagram{relay_now(relay) + relay_delay(relay), relay.received_order++, to_server,
                           std::vector<uint8_t>(bytes, bytes + size)};
    relay.queue.push_back(std::move(datagram));
}

void relay_take(UdpRelay& relay, bool to_server, const uint8_t* bytes, size_t size) {
    relay.stats.received += 1;
    if (relay_chance(relay, relay.options.drop)) {
        relay.stats.dropped += 1;
        return;
    }
    relay_enqueue(relay, to_server, bytes, size);
    if (relay_chance(relay, relay.options.duplicate)) {
        relay.stats.duplicated += 1;
        relay_enqueue(relay, to_server, bytes, size);
    }
}

// One datagram from one side, or false when that side has nothing waiting.
bool relay_receive(UdpRelay& relay, bool from_client) {
    uint8_t bytes[datagram_max];
    ENetBuffer buffer{bytes, sizeof bytes};
    ENetAddress sender{};
    ENetSocket socket = from_client ? relay.client_side : relay.server_side;
    int size = enet_socket_receive(socket, &sender, &buffer, 1);
    if (size <= 0) {
        return false;
    }
    if (from_client) {
        relay.client = sender; // the client's port is only known once it speaks
        relay.client_known = true;
    }
    relay_take(relay, from_client, bytes, size_t(size));
    return true;
}

void relay_send(UdpRelay& relay, const RelayDatagram& datagram) {
    ENetAddress server{};
    enet_address_set_host_ip(&server, "127.0.0.1");
    server.port = relay.options.server_port;
    if (!datagram.to_server && !relay.client_known) {
        return;
    }
    ENetBuffer buffer{const_cast<uint8_t*>(datagram.bytes.data()), datagram.bytes.size()};
    ENetSocket socket = datagram.to_server ? relay.server_side : relay.client_side;
    const ENetAddress& target = datagram.to_server ? server : relay.client;
    if (enet_socket_send(socket, &target, &buffer, 1) > 0) {
        relay.stats.delivered += 1;
    }
}

void relay_deliver_due(UdpRelay& relay) {
    const uint32_t now = relay_now(relay);
    std::sort(relay.queue.begin(), relay.queue.end(), [](const auto& a, const auto& b) {
        return a.due_ms != b.due_ms ? a.due_ms < b.due_ms : a.order < b.order;
    });
    size_t due = 0;
    while (due < relay.queue.size() && relay.queue[due].due_ms <= now) {
        relay_send(relay, relay.queue[due]);
        ++due;
    }
    relay.queue.erase(relay.queue.begin(), relay.queue.begin() + long(due));
}

} // namespace

bool udp_relay_open(UdpRelay& relay, const RelayOptions& options) {
    udp_relay_close(relay);
    if (enet_initialize() != 0) {
        return false;
    }
    relay.started = true;
    relay.options = options;
    relay.random.seed(options.seed);
    relay.epoch = std::chrono::steady_clock::now();
    relay.client_side = socket_open(options.listen_port);
    relay.server_side = socket_open(0);
    if (relay.client_side == ENET_SOCKET_NULL || relay.server_side == ENET_SOCKET_NULL) {
        udp_relay_close(relay);
        return false;
    }
    return true;
}

uint16_t udp_relay_port(const UdpRelay& relay) {
    ENetAddress address{};
    if (relay.client_side == ENET_SOCKET_NULL ||
        enet_socket_get_address(relay.client_side, &address) != 0) {
        return 0;
    }
    return address.port;
}

void udp_relay_pump(UdpRelay& relay) {
    if (relay.client_side == ENET_SOCKET_NULL) {
        return;
    }
    for (int i = 0; i < receives_per_pump; ++i) {
        bool any = relay_receive(relay, true);
        any = relay_receive(relay, false) || any;
        if (!any) {
            break;
        }
    }
    relay_deliver_due(relay);
}

void udp_relay_wait(UdpRelay& relay, uint32_t ms) {
    if (relay.client_side == ENET_SOCKET_NULL) {
        return;
    }
    uint32_t limit = ms;
    const uint32_t now = relay_now(relay);
    for (const RelayDatagram& datagram : relay.queue) {
        limit = std::min(limit, datagram.due_ms > now ? datagram.due_ms - now : 0);
    }
    ENetSocketSet readable;
    ENET_SOCKETSET_EMPTY(readable);
    ENET_SOCKETSET_ADD(readable, relay.client_side);
    ENET_SOCKETSET_ADD(readable, relay.server_side);
    const ENetSocket highest = std::max(relay.client_side, relay.server_side);
    enet_socketset_select(highest, &readable, nullptr, limit);
    udp_relay_pump(relay);
}

void udp_relay_close(UdpRelay& relay) {
    for (ENetSocket* socket : {&relay.client_side, &relay.server_side}) {
        if (*socket != ENET_SOCKET_NULL) {
            enet_socket_destroy(*socket);
            *socket = ENET_SOCKET_NULL;
        }
    }
    relay.queue.clear();
    relay.client_known = false;
    if (relay.started) {
        enet_deinitialize();
        relay.started = false;
    }
}
