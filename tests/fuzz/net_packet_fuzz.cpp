// Feeds arbitrary bytes to the network message decoder: whatever it accepts must be in range and
// must be exactly what the encoder writes for it, so no two byte strings mean the same message.
#include "fuzz/fuzz_check.h"
#include "input/input_record.h"
#include "net/net_protocol.h"

#include <cstdint>
#include <cstring>

namespace {

void fuzz_check_fields(const NetMessage& message) {
    fuzz_require((message.steer & ~steer_all) == 0, "steering bits out of range");
    fuzz_require((message.keys & ~match_key_all) == 0, "key bits out of range");
    const NetSettings& settings = message.settings;
    if (message.type == NetMessageType::settings) {
        fuzz_require(settings.refresh_rate >= 1 && settings.refresh_rate <= net_refresh_rate_max,
                     "refresh rate out of range");
        fuzz_require(settings.input_delay <= net_input_delay_max, "input delay out of range");
        fuzz_require(net_frame_ms(settings.refresh_rate, message.frame) >= 1, "empty frame");
    }
    const char* version = message.hello.game_version;
    fuzz_require(std::memchr(version, '\0', sizeof message.hello.game_version) != nullptr,
                 "version text not terminated");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    NetMessage message;
    if (!net_message_decode(data, size, message)) {
        return 0;
    }
    fuzz_check_fields(message);
    uint8_t again[net_message_max];
    size_t written = net_message_encode(message, again, sizeof again);
    fuzz_require(written == size, "encoded length differs");
    fuzz_require(std::memcmp(again, data, size) == 0, "encoded bytes differ");
    return 0;
}
