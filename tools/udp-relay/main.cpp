// udp-relay: a misbehaving network between two programs on this machine, for a while.
//   udp-relay --to PORT [--listen PORT] [--drop SHARE] [--delay MS | --delay MIN-MAX]
//             [--dup SHARE] [--seed N] [--seconds S]
// The client sends to the listening port (printed on start); the server listens on --to.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "relay.h"

namespace {

constexpr double seconds_max = 3600.0;

struct RelayCommand {
    RelayOptions options;
    double seconds = 60.0;
};

bool number_read(const char* text, double minimum, double maximum, double& value) {
    char* end = nullptr;
    value = std::strtod(text, &end);
    return end != text && *end == '\0' && value >= minimum && value <= maximum;
}

bool delay_read(const char* text, RelayOptions& options) {
    double low = 0;
    double high = 0;
    char first[32];
    const char* dash = std::strchr(text, '-');
    size_t length = dash ? size_t(dash - text) : std::strlen(text);
    if (length >= sizeof first) {
        return false;
    }
    std::memcpy(first, text, length);
    first[length] = '\0';
    if (!number_read(first, 0, 60000, low) || (dash && !number_read(dash + 1, low, 60000, high))) {
        return false;
    }
    options.delay_min_ms = uint32_t(low);
    options.delay_max_ms = uint32_t(dash ? high : low);
    return true;
}

bool option_read(RelayCommand& command, const char* name, const char* value) {
    RelayOptions& options = command.options;
    double number = 0;
    if (std::strcmp(name, "--delay") == 0) {
        return delay_read(value, options);
    }
    if (std::strcmp(name, "--drop") == 0) {
        return number_read(value, 0, 1, options.drop);
    }
    if (std::strcmp(name, "--dup") == 0) {
        return number_read(value, 0, 1, options.duplicate);
    }
    if (std::strcmp(name, "--seconds") == 0) {
        return number_read(value, 0, seconds_max, command.seconds);
    }
    bool ok = number_read(value, 0, 65535, number);
    if (std::strcmp(name, "--listen") == 0) {
        options.listen_port = uint16_t(number);
    } else if (std::strcmp(name, "--to") == 0) {
        options.server_port = uint16_t(number);
    } else if (std::strcmp(name, "--seed") == 0) {
        options.seed = uint64_t(number);
    } else {
        ok = false;
    }
    return ok;
}

int usage() {
    std::fprintf(stderr, "usage: udp-relay --to PORT [--listen PORT] [--drop SHARE] "
                         "[--delay MS|MIN-MAX] [--dup SHARE] [--seed N] [--seconds S]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    RelayCommand command;
    for (int i = 1; i < argc; i += 2) {
        if (i + 1 >= argc || !option_read(command, argv[i], argv[i + 1])) {
            return usage();
        }
    }
    if (command.options.server_port == 0) {
        return usage();
    }
    UdpRelay relay;
    if (!udp_relay_open(relay, command.options)) {
        std::fprintf(stderr, "udp-relay: cannot open a socket on 127.0.0.1\n");
        return 1;
    }
    std::printf("relaying 127.0.0.1:%u -> 127.0.0.1:%u\n", unsigned(udp_relay_port(relay)),
                unsigned(command.options.server_port));
    std::fflush(stdout);
    const auto end =
        std::chrono::steady_clock::now() + std::chrono::duration<double>(command.seconds);
    while (std::chrono::steady_clock::now() < end) {
        udp_relay_wait(relay, 5);
    }
    const RelayStats& stats = relay.stats;
    std::printf("received %llu, dropped %llu, duplicated %llu, delivered %llu\n",
                (unsigned long long)stats.received, (unsigned long long)stats.dropped,
                (unsigned long long)stats.duplicated, (unsigned long long)stats.delivered);
    udp_relay_close(relay);
    return 0;
}
