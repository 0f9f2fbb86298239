#include "platform/scripted.h"

#include "platform/frame_convert.h"
#include "platform/scripted_backend.h"
#include "platform/video.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <png.h>

namespace {

constexpr size_t frame_pixels = video_frame_width * video_frame_height;

struct ScriptedState {
    bool active = false;
    ScriptedSetup setup;
    size_t next_key = 0;
    std::deque<KeyEvent> pushed;
    uint32_t now = 0;
    uint64_t frames = 0;
    uint64_t locks = 0;
    int frame_rate = 60;
    std::vector<uint64_t> hashes;
    std::vector<uint16_t> last_frame = std::vector<uint16_t>(frame_pixels);
    std::vector<std::string> notices;
    std::vector<std::string> debug_lines;
};

ScriptedState scripted;

void time_limit_check() {
    uint32_t limit = scripted.setup.time_limit_ms;
    if (limit != 0 && scripted.now > limit) {
        std::fprintf(stderr, "scripted run: time limit of %u ms passed at frame %llu\n", limit,
                     static_cast<unsigned long long>(scripted.frames));
        std::fflush(stderr);
        std::exit(3);
    }
}

void snapshot_write(const uint16_t* frame, uint64_t number) {
    const ScriptedSetup& setup = scripted.setup;
    if (setup.snapshot_pattern.empty()) {
        return;
    }
    if (std::find(setup.snapshot_frames.begin(), setup.snapshot_frames.end(), number) ==
        setup.snapshot_frames.end()) {
        return;
    }
    char path[1024];
    std::snprintf(path, sizeof path, setup.snapshot_pattern.c_str(), static_cast<int>(number));
    if (!frame_write_png(frame, path)) {
        std::fprintf(stderr, "scripted run: cannot write %s\n", path);
    }
}

} // namespace

void scripted_start(const ScriptedSetup& setup) {
    scripted = ScriptedState{};
    scripted.setup = setup;
    std::stable_sort(scripted.setup.keys.begin(), scripted.setup.keys.end(),
                     [](const ScriptedKey& a, const ScriptedKey& b) { return a.tick < b.tick; });
    scripted.active = true;
}

void scripted_stop() {
    scripted.active = false;
}

bool scripted_active() {
    return scripted.active;
}

uint64_t scripted_frame_count() {
    return scripted.frames;
}

const std::vector<uint64_t>& scripted_frame_hashes() {
    return scripted.hashes;
}

const std::vector<uint16_t>& scripted_last_frame() {
    return scripted.last_frame;
}

const std::vector<std::string>& scripted_notices() {
    return scripted.notices;
}

const std::vector<std::string>& scripted_debug_lines() {
    return scripted.debug_lines;
}

uint64_t scripted_lock_count() {
    return scripted.locks;
}

int scripted_frame_rate() {
    return scripted.frame_rate;
}

void scripted_push_key(uint32_t symbol, bool pressed) {
    scripted.pushed.push_back(KeyEvent{pressed, symbol});
}

uint32_t scripted_clock_ticks() {
    return scripted.now;
}

void scripted_clock_sleep(uint32_t ms) {
    scripted.now += ms;
    time_limit_check();
}

bool scripted_events_poll(KeyEvent* event) {
    const std::vector<ScriptedKey>& keys = scripted.setup.keys;
    if (scripted.next_key < keys.size() && keys[scripted.next_key].tick <= scripted.now) {
        const ScriptedKey& key = keys[scripted.next_key++];
        *event = KeyEvent{key.pressed, key.symbol};
        return true;
    }
    if (!scripted.pushed.empty()) {
        *event = scripted.pushed.front();
        scripted.pushed.pop_front();
        return true;
    }
    return false;
}

void scripted_video_present(const uint16_t* frame) {
    if (frame == nullptr) {
        return;
    }
    std::copy(frame, frame + frame_pixels, scripted.last_frame.begin());
    scripted.hashes.push_back(frame_hash(frame));
    snapshot_write(frame, scripted.frames);
    scripted.frames++;
    scripted.now += scripted.setup.frame_ms;
    time_limit_check();
}

void scripted_video_lock() {
    scripted.locks++;
}

void scripted_video_frame_rate(int frames_per_second) {
    scripted.frame_rate = frames_per_second;
}

void scripted_notice_show(const char* text, const char* caption) {
    scripted.notices.push_back(std::string(caption) + ": " + text);
}

void scripted_debug_record(const char* text) {
    scripted.debug_lines.emplace_back(text);
}

uint64_t frame_hash(const uint16_t* frame) {
    uint64_t hash = 14695981039346656037ULL;
    for (size_t i = 0; i < frame_pixels; i++) {
        for (uint8_t byte : {static_cast<uint8_t>(frame[i]), static_cast<uint8_t>(frame[i] >> 8)}) {
            hash = (hash ^ byte) * 1099511628211ULL;
        }
    }
    return hash;
}

bool frame_write_png(const uint16_t* frame, const char* path) {
    if (frame == nullptr || path == nullptr) {
        return false;
    }
    std::vector<uint8_t> rgb(frame_pixels * 3);
    for (size_t i = 0; i < frame_pixels; i++) {
        uint16_t pixel = frame[i];
        rgb[3 * i] = channel_5_to_8((pixel >> 10) & 31);
        rgb[3 * i + 1] = channel_5_to_8((pixel >> 5) & 31);
        rgb[3 * i + 2] = channel_5_to_8(pixel & 31);
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = video_frame_width;
    image.height = video_frame_height;
    image.format = PNG_FORMAT_RGB;
    return png_image_write_to_file(&image, path, 0, rgb.data(), 0, nullptr) != 0;
}
