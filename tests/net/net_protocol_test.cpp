#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "net/net_protocol.h"
#include "net/net_session.h"

// A message names only the fields its type uses; the others stay zero.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

using Bytes = std::vector<uint8_t>;
using Type = NetMessageType;

NetHello hello_of(const char* version) {
    NetHello hello{1, 0x0123456789ABCDEFull, {}};
    std::snprintf(hello.game_version, sizeof hello.game_version, "%s", version);
    return hello;
}

const NetMessage input_message{
    .type = Type::input, .match = 1, .frame = 0x01020304, .steer = 2 | 8, .keys = 1 | 16};

Bytes encoded(const NetMessage& message) {
    uint8_t bytes[net_message_max];
    size_t size = net_message_encode(message, bytes, sizeof bytes);
    return Bytes(bytes, bytes + size);
}

// The layouts a peer relies on, written out by hand.
TEST(NetProtocol, EveryMessageHasItsByteLayoutAndReadsBack) {
    const struct {
        const char* name;
        NetMessage message;
        Bytes bytes;
    } cases[] = {
        {"hello",
         {.type = Type::hello, .hello = hello_of("1.0.0")},
         {1,    'Z',  'o',  'r',  'b', 1,   0,   0xEF, 0xCD, 0xAB, 0x89,
          0x67, 0x45, 0x23, 0x01, 5,   '1', '.', '0',  '.',  '0'}},
        {"settings",
         {.type = Type::settings, .settings = {0x3FF8000000000000ull, -1, 1, 60, 2}}, // 1.5
         {2, 0, 0, 0, 0, 0, 0, 0xF8, 0x3F, 0xFF, 0xFF, 0xFF, 0xFF, 1, 60, 0, 2}},
        {"start", {.type = Type::start, .match = 258}, {3, 2, 1}},
        {"end", {.type = Type::end, .match = 258}, {4, 2, 1}},
        {"input", input_message, {5, 1, 0, 4, 3, 2, 1, 0x0A, 0x11}},
        {"hash",
         {.type = Type::hash, .match = 2, .frame = 59, .hash = 0x1122334455667788ull},
         {6, 2, 0, 59, 0, 0, 0, 0x88, 0x77, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11}},
        {"bye",
         {.type = Type::bye, .match = 3, .frame = net_frame_none, .reason = NetByeReason::left},
         {7, 1, 3, 0, 0xFF, 0xFF, 0xFF, 0xFF}},
    };
    for (const auto& wire : cases) {
        SCOPED_TRACE(wire.name);
        EXPECT_EQ(encoded(wire.message), wire.bytes);
        NetMessage back{};
        ASSERT_TRUE(net_message_decode(wire.bytes.data(), wire.bytes.size(), back));
        EXPECT_EQ(encoded(back), wire.bytes);
    }
}

TEST(NetProtocol, DamagedPacketsAreRejected) {
    Bytes too_long_version = {1, 'Z', 'o', 'r', 'b', 1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 33};
    too_long_version.resize(too_long_version.size() + 33, 'x');
    const struct {
        const char* name;
        Bytes bytes;
    } cases[] = {
        {"empty", {}},
        {"type 8", {8, 1, 0}},
        {"start cut short", {3, 2}},
        {"start with a byte more", {3, 2, 1, 0}},
        {"steering bit 16", {5, 1, 0, 4, 3, 2, 1, 0x10, 0}},
        {"key bit 32", {5, 1, 0, 4, 3, 2, 1, 0, 0x20}},
        {"input without a frame", {5, 1, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0}},
        {"hash without a frame", {6, 1, 0, 0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3, 4, 5, 6, 7, 8}},
        {"hello of another program", {1, 'Z', 'o', 'r', 'c', 1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 1, '1'}},
        {"hello longer than its text",
         {1, 'Z', 'o', 'r', 'b', 1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 2, '1'}},
        {"hello without a version", {1, 'Z', 'o', 'r', 'b', 1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 0}},
        {"hello with a control byte", {1, 'Z', 'o', 'r', 'b', 1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 1, 7}},
        {"hello with a zero inside",
         {1, 'Z', 'o', 'r', 'b', 1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 3, '1', 0, '2'}},
        {"hello with 33 letters", too_long_version},
        {"speed not a number", {2, 0, 0, 0, 0, 0, 0, 0xF8, 0x7F, 3, 0, 0, 0, 1, 60, 0, 2}},
        {"plasma 2", {2, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F, 3, 0, 0, 0, 2, 60, 0, 2}},
        {"refresh 0", {2, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F, 3, 0, 0, 0, 1, 0, 0, 2}},
        {"refresh 1001", {2, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F, 3, 0, 0, 0, 1, 0xE9, 3, 2}},
        {"input delay 9", {2, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F, 3, 0, 0, 0, 1, 60, 0, 9}},
        {"bye reason 0", {7, 0, 3, 0, 1, 0, 0, 0}},
        {"bye reason 4", {7, 4, 3, 0, 1, 0, 0, 0}},
        {"65 bytes", Bytes(65, 3)},
    };
    for (const auto& damaged : cases) {
        SCOPED_TRACE(damaged.name);
        NetMessage message = input_message;
        EXPECT_FALSE(net_message_decode(damaged.bytes.data(), damaged.bytes.size(), message));
        EXPECT_EQ(int(message.type), 0); // nothing half-read is left behind
    }
}

TEST(NetProtocol, NothingOutOfRangeIsSent) {
    NetMessage input = input_message;
    input.steer = 16;
    EXPECT_TRUE(encoded(input).empty());
    uint8_t nine[9];
    EXPECT_EQ(net_message_encode(input_message, nine, 8), 0u);
    EXPECT_EQ(net_message_encode(input_message, nine, 9), 9u);
    // Settings out of range are brought within it before they are sent; the speed keeps every bit.
    NetSettings made = net_settings_make(30 * double(0.1f), 0, false, 5000, 12);
    EXPECT_EQ(made.refresh_rate, 1000);
    EXPECT_EQ(made.input_delay, 8);
    EXPECT_EQ(net_settings_game_speed(made), 402653190.0 / 134217728.0); // 30 x single 0.1
}

TEST(NetProtocol, FrameLengthsFollowTheExactRate) {
    const struct {
        int32_t rate;
        uint32_t frame;
        int32_t ms;
    } cases[] = {
        {60, 0, 16},  {60, 1, 17},  {60, 2, 17},           {70, 0, 14}, {70, 3, 15},
        {1000, 5, 1}, {1, 7, 1000}, {60, 4294967295u, 16}, {0, 0, 0},   {1001, 0, 0},
    };
    for (const auto& frame : cases) {
        EXPECT_EQ(net_frame_ms(frame.rate, frame.frame), frame.ms)
            << frame.rate << " frames/s, frame " << frame.frame;
    }
    for (int32_t rate : {60, 70, 144}) {
        int32_t second = 0;
        for (uint32_t frame = 1000; frame < 1000 + uint32_t(rate); ++frame) {
            second += net_frame_ms(rate, frame);
        }
        EXPECT_EQ(second, 1000) << rate << " frames/s";
    }
}

TEST(NetProtocol, ADifferentGameIsNamedInOneLine) {
    const struct {
        const char* version;
        uint16_t protocol;
        uint64_t resource_hash;
        const char* line;
    } cases[] = {
        {"1.0.0", 1, 0x0123456789ABCDEFull, ""},
        {"1.2.0", 1, 0x0123456789ABCDEFull, "the other player runs Zorbit 1.2.0, this is 1.0.0"},
        {"1.0.0", 1, 0x0123456789ABCDEEull, "the other player has a different zrb.res"},
        {"1.0.0", 2, 0x0123456789ABCDEFull,
         "the other player speaks network protocol 2, this game 1"},
        {"1.2.0", 2, 7, "the other player runs Zorbit 1.2.0, this is 1.0.0"},
    };
    const NetHello mine = hello_of("1.0.0");
    for (const auto& other : cases) {
        NetHello theirs = hello_of(other.version);
        theirs.protocol = other.protocol;
        theirs.resource_hash = other.resource_hash;
        char line[160];
        EXPECT_EQ(net_hello_compare(mine, theirs, line, sizeof line), *other.line == '\0');
        EXPECT_STREQ(line, other.line);
    }
}

} // namespace
