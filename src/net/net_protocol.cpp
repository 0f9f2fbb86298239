#include "net/net_protocol.h"

#include <cstdio>
#include <cstring>

#include "input/input_record.h"

namespace {

constexpr uint8_t hello_magic[4] = {'Z', 'o', 'r', 'b'};

struct NetWriter {
    uint8_t* out;
    size_t capacity;
    size_t size;
    bool ok;
};

struct NetReader {
    const uint8_t* data;
    size_t size;
    size_t at;
    bool ok;
};

void writer_bytes(NetWriter& writer, const void* bytes, size_t count) {
    if (!writer.ok || writer.capacity - writer.size < count) {
        writer.ok = false;
        return;
    }
    std::memcpy(writer.out + writer.size, bytes, count);
    writer.size += count;
}

void writer_uint(NetWriter& writer, uint64_t value, int bytes) {
    uint8_t little[8];
    for (int i = 0; i < bytes; ++i) {
        little[i] = uint8_t(value >> (8 * i));
    }
    writer_bytes(writer, little, size_t(bytes));
}

const uint8_t* reader_bytes(NetReader& reader, size_t count) {
    if (!reader.ok || reader.size - reader.at < count) {
        reader.ok = false;
        return nullptr;
    }
    const uint8_t* bytes = reader.data + reader.at;
    reader.at += count;
    return bytes;
}

uint64_t reader_uint(NetReader& reader, int bytes) {
    const uint8_t* little = reader_bytes(reader, size_t(bytes));
    uint64_t value = 0;
    for (int i = 0; little != nullptr && i < bytes; ++i) {
        value |= uint64_t(little[i]) << (8 * i);
    }
    return value;
}

bool version_text_valid(const char* text) {
    const void* end = std::memchr(text, '\0', net_version_text_max + 1);
    size_t length = end == nullptr ? 0 : size_t(static_cast<const char*>(end) - text);
    if (length == 0) {
        return false;
    }
    for (size_t i = 0; i < length; ++i) {
        if (text[i] < 0x20 || text[i] > 0x7E) {
            return false;
        }
    }
    return true;
}

bool double_bits_finite(uint64_t bits) {
    return (bits >> 52 & 0x7FF) != 0x7FF;
}

bool settings_valid(const NetSettings& settings) {
    return double_bits_finite(settings.game_speed_bits) && settings.plasma_enabled <= 1 &&
           settings.refresh_rate >= 1 && settings.refresh_rate <= net_refresh_rate_max &&
           settings.input_delay <= net_input_delay_max;
}

bool message_valid(const NetMessage& message) {
    switch (message.type) {
    case NetMessageType::hello:
        return version_text_valid(message.hello.game_version);
    case NetMessageType::settings:
        return settings_valid(message.settings);
    case NetMessageType::start:
    case NetMessageType::end:
        return true;
    case NetMessageType::input:
        return message.frame != net_frame_none && (message.steer & ~steer_all) == 0 &&
               (message.keys & ~match_key_all) == 0;
    case NetMessageType::hash:
        return message.frame != net_frame_none;
    case NetMessageType::bye:
        return message.reason >= NetByeReason::left && message.reason <= NetByeReason::desync;
    }
    return false;
}

void hello_write(NetWriter& writer, const NetHello& hello) {
    writer_bytes(writer, hello_magic, sizeof hello_magic);
    writer_uint(writer, hello.protocol, 2);
    writer_uint(writer, hello.resource_hash, 8);
    size_t length = std::strlen(hello.game_version);
    writer_uint(writer, length, 1);
    writer_bytes(writer, hello.game_version, length);
}

void settings_write(NetWriter& writer, const NetSettings& settings) {
    writer_uint(writer, settings.game_speed_bits, 8);
    writer_uint(writer, uint32_t(settings.game_length), 4);
    writer_uint(writer, settings.plasma_enabled, 1);
    writer_uint(writer, settings.refresh_rate, 2);
    writer_uint(writer, settings.input_delay, 1);
}

void body_write(NetWriter& writer, const NetMessage& message) {
    switch (message.type) {
    case NetMessageType::hello:
        hello_write(writer, message.hello);
        return;
    case NetMessageType::settings:
        settings_write(writer, message.settings);
        return;
    case NetMessageType::start:
    case NetMessageType::end:
        writer_uint(writer, message.match, 2);
        return;
    case NetMessageType::input:
        writer_uint(writer, message.match, 2);
        writer_uint(writer, message.frame, 4);
        writer_uint(writer, message.steer, 1);
        writer_uint(writer, message.keys, 1);
        return;
    case NetMessageType::hash:
        writer_uint(writer, message.match, 2);
        writer_uint(writer, message.frame, 4);
        writer_uint(writer, message.hash, 8);
        return;
    case NetMessageType::bye:
        writer_uint(writer, uint8_t(message.reason), 1);
        writer_uint(writer, message.match, 2);
        writer_uint(writer, message.frame, 4);
        return;
    }
}

void hello_read(NetReader& reader, NetHello& hello) {
    const uint8_t* magic = reader_bytes(reader, sizeof hello_magic);
    if (magic == nullptr || std::memcmp(magic, hello_magic, sizeof hello_magic) != 0) {
        reader.ok = false;
        return;
    }
    hello.protocol = uint16_t(reader_uint(reader, 2));
    hello.resource_hash = reader_uint(reader, 8);
    size_t length = size_t(reader_uint(reader, 1));
    const uint8_t* text = length <= net_version_text_max ? reader_bytes(reader, length) : nullptr;
    // A zero inside would cut the text short, and the hello would no longer read back the same.
    if (text == nullptr || std::memchr(text, 0, length) != nullptr) {
        reader.ok = false;
        return;
    }
    std::memcpy(hello.game_version, text, length);
    hello.game_version[length] = '\0';
}

void settings_read(NetReader& reader, NetSettings& settings) {
    settings.game_speed_bits = reader_uint(reader, 8);
    settings.game_length = int32_t(uint32_t(reader_uint(reader, 4)));
    settings.plasma_enabled = uint8_t(reader_uint(reader, 1));
    settings.refresh_rate = uint16_t(reader_uint(reader, 2));
    settings.input_delay = uint8_t(reader_uint(reader, 1));
}

void body_read(NetReader& reader, NetMessage& message) {
    switch (message.type) {
    case NetMessageType::hello:
        hello_read(reader, message.hello);
        return;
    case NetMessageType::settings:
        settings_read(reader, message.settings);
        return;
    case NetMessageType::start:
    case NetMessageType::end:
        message.match = uint16_t(reader_uint(reader, 2));
        return;
    case NetMessageType::input:
        message.match = uint16_t(reader_uint(reader, 2));
        message.frame = uint32_t(reader_uint(reader, 4));
        message.steer = uint8_t(reader_uint(reader, 1));
        message.keys = uint8_t(reader_uint(reader, 1));
        return;
    case NetMessageType::hash:
        message.match = uint16_t(reader_uint(reader, 2));
        message.frame = uint32_t(reader_uint(reader, 4));
        message.hash = reader_uint(reader, 8);
        return;
    case NetMessageType::bye:
        message.reason = NetByeReason(reader_uint(reader, 1));
        message.match = uint16_t(reader_uint(reader, 2));
        message.frame = uint32_t(reader_uint(reader, 4));
        return;
    }
    reader.ok = false;
}

} // namespace

size_t net_message_encode(const NetMessage& message, uint8_t* out, size_t capacity) {
    if (out == nullptr || !message_valid(message)) {
        return 0;
    }
    NetWriter writer{out, capacity, 0, true};
    writer_uint(writer, uint8_t(message.type), 1);
    body_write(writer, message);
    return writer.ok ? writer.size : 0;
}

bool net_message_decode(const uint8_t* data, size_t size, NetMessage& message) {
    message = NetMessage{};
    if (data == nullptr || size == 0 || size > net_message_max) {
        return false;
    }
    NetReader reader{data, size, 0, true};
    message.type = NetMessageType(reader_uint(reader, 1));
    body_read(reader, message);
    // Trailing bytes mean a layout this game does not know.
    if (reader.ok && reader.at == size && message_valid(message)) {
        return true;
    }
    message = NetMessage{};
    return false;
}

bool net_hello_compare(const NetHello& mine, const NetHello& theirs, char* text, size_t size) {
    if (std::strcmp(mine.game_version, theirs.game_version) != 0) {
        std::snprintf(text, size, "the other player runs Zorbit %s, this is %s",
                      theirs.game_version, mine.game_version);
    } else if (mine.protocol != theirs.protocol) {
        std::snprintf(text, size, "the other player speaks network protocol %u, this game %u",
                      unsigned(theirs.protocol), unsigned(mine.protocol));
    } else if (mine.resource_hash != theirs.resource_hash) {
        std::snprintf(text, size, "the other player has a different zrb.res");
    } else {
        std::snprintf(text, size, "%s", "");
        return true;
    }
    return false;
}

int32_t net_frame_ms(int32_t refresh_rate, uint32_t frame) {
    if (refresh_rate < 1 || refresh_rate > net_refresh_rate_max) {
        return 0;
    }
    const uint64_t rate = uint64_t(refresh_rate);
    const uint64_t k = frame;
    return int32_t((k + 1) * 1000 / rate - k * 1000 / rate);
}
