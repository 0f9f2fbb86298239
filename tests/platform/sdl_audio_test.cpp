// The one test of a real SDL audio device (the dummy driver): it pulls sound from the renderer
// in buffers no longer than 512 frames, about 12 ms, so a bounce is heard within a frame or two.
#include "platform/platform.h"
#include "platform/sdl_platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace {

struct Pulled {
    std::mutex lock;
    std::condition_variable more;
    int buffers = 0;
    int largest = 0;
    bool rendered_by_us = true;
};

Pulled pulled;

void render(int16_t* frames, int count) {
    std::fill(frames, frames + 2 * count, int16_t{1234});
}

void tap(const int16_t* frames, int count) {
    std::lock_guard<std::mutex> guard(pulled.lock);
    pulled.buffers++;
    pulled.largest = std::max(pulled.largest, count);
    pulled.rendered_by_us = pulled.rendered_by_us && frames[0] == 1234;
    pulled.more.notify_all();
}

TEST(SdlAudio, TheDevicePullsShortBuffersFromTheRenderer) {
    platform_use(sdl_platform());
    sdl_audio_set_tap(tap);
    const char* failure = audio_device_open(render);
    ASSERT_EQ(failure, nullptr) << failure;
    {
        std::unique_lock<std::mutex> guard(pulled.lock);
        // Generous: the device asks every 12 ms; only a broken device takes seconds.
        pulled.more.wait_for(guard, std::chrono::seconds(20), [] { return pulled.buffers >= 4; });
    }
    audio_device_close();
    sdl_audio_set_tap(nullptr);
    platform_use(nullptr);
    EXPECT_GE(pulled.buffers, 4);
    EXPECT_LE(pulled.largest, 512);
    EXPECT_TRUE(pulled.rendered_by_us);
}

} // namespace
