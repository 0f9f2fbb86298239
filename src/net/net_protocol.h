#pragma once
// The messages two Zorbit games exchange over the network, and their byte layout. Every field is
// little-endian; a message is one ENet packet whose first byte is its type. Nothing here knows
// about sockets, so the decoder can be tested and fuzzed on its own.
#include <cstddef>
#include <cstdint>

// Raised whenever any message other than the hello changes its layout or meaning.
constexpr uint16_t net_protocol_version = 1;
constexpr size_t net_message_max = 64;
constexpr size_t net_version_text_max = 32;
constexpr int32_t net_input_delay_max = 8;
constexpr int32_t net_refresh_rate_max = 1000;

enum class NetMessageType : uint8_t {
    hello = 1,    // both sides, first: who is speaking
    settings = 2, // host to guest, after the hello: what shapes every match of the session
    start = 3,    // a key on a title screen starts match `match`
    end = 4,      // a key on an end screen ends the end screen of match `match`
    input = 5,    // one side's record of one frame
    hash = 6,     // one side's hash of its match state after a frame
    bye = 7,      // this side stops the session, and why
};

enum class NetByeReason : uint8_t { left = 1, mismatch = 2, desync = 3 };

// The hello's layout never changes, so that games of any version can tell each other apart.
struct NetHello {
    uint16_t protocol;
    uint64_t resource_hash; // of zrb.res
    char game_version[net_version_text_max + 1];
};

struct NetSettings {
    uint64_t game_speed_bits; // the exact bits of the double, so both sides move bodies alike
    int32_t game_length;
    uint8_t plasma_enabled; // 0 or 1
    uint16_t refresh_rate;  // 1 to net_refresh_rate_max
    uint8_t input_delay;    // frames, 0 to net_input_delay_max
};

// Which fields a message uses depends on its type; the others stay zero.
struct NetMessage {
    NetMessageType type;
    NetHello hello;
    NetSettings settings;
    uint16_t match;      // start, end, input, hash, bye
    uint32_t frame;      // input, hash, bye (net_frame_none: not during a frame)
    uint8_t steer;       // input: steer_* bits
    uint8_t keys;        // input: match_key_* bits
    uint64_t hash;       // hash
    NetByeReason reason; // bye
};

constexpr uint32_t net_frame_none = 0xFFFFFFFF;

// Writes the message; the number of bytes, or 0 when it does not fit or holds a field out of range.
size_t net_message_encode(const NetMessage& message, uint8_t* out, size_t capacity);
// Reads one packet. False for anything damaged: wrong length, unknown type, a field out of range.
bool net_message_decode(const uint8_t* data, size_t size, NetMessage& message);

// Fills `text` with the line a player reads when the other side's game differs from this one,
// the game version first, as that is what a player can act on. True when both games match.
bool net_hello_compare(const NetHello& mine, const NetHello& theirs, char* text, size_t size);

// How many milliseconds frame `frame` of a network match advances: 1000 / refresh_rate as an
// exact rational sequence, so that every stretch of refresh_rate frames lasts 1000 ms on both
// sides. 0 for a rate out of range.
int32_t net_frame_ms(int32_t refresh_rate, uint32_t frame);
