#include "scripted.h"

#include "platform/frame.h"
#include "platform/frame_png.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <deque>

namespace {

constexpr size_t kept_lines = 4096;
constexpr int audio_rate = 44100;
constexpr int audio_chunk = 512;

struct ScriptedState {
    ScriptedSetup setup;
    std::vector<ScriptedEvent> script; // keys and events, by tick
    size_t next_event = 0;
    std::deque<PlatformEvent> pushed;
    uint32_t now = 0;
    uint64_t frames = 0;
    uint64_t locks = 0;
    int frame_rate = 60;
    std::vector<uint16_t> last_frame = std::vector<uint16_t>(frame_pixels);
    std::vector<std::string> debug_lines;
    AudioRender audio_render = nullptr;
    uint32_t audio_opened_at = 0;
    uint64_t audio_frames = 0;
};

ScriptedState scripted;

// Keeps the newest entries: the oldest half goes when the list is full.
void bounded_push(std::vector<std::string>& list, size_t limit, std::string text) {
    if (list.size() >= limit) {
        list.erase(list.begin(), list.begin() + static_cast<std::ptrdiff_t>(limit / 2));
    }
    list.push_back(std::move(text));
}

void time_limit_check() {
    const uint32_t limit = scripted.setup.time_limit_ms;
    if (limit != 0 && scripted.now > limit) {
        std::fprintf(stderr, "scripted run: time limit of %u ms passed at frame %llu\n", limit,
                     static_cast<unsigned long long>(scripted.frames));
        std::fflush(stderr);
        std::exit(3);
    }
}

// The device renders what the virtual time since it opened calls for, in device-sized chunks.
void audio_catch_up() {
    if (scripted.audio_render == nullptr) {
        return;
    }
    const uint64_t due = uint64_t(scripted.now - scripted.audio_opened_at) * audio_rate / 1000;
    std::array<int16_t, audio_chunk * 2> chunk;
    const ScriptedSinks& sinks = scripted.setup.sinks;
    while (scripted.audio_frames < due) {
        const int count =
            static_cast<int>(std::min<uint64_t>(audio_chunk, due - scripted.audio_frames));
        scripted.audio_render(chunk.data(), count);
        if (sinks.audio != nullptr) {
            sinks.audio(sinks.context, chunk.data(), count);
        }
        scripted.audio_frames += count;
    }
}

void time_pass(uint32_t ms) {
    scripted.now += ms;
    audio_catch_up();
    time_limit_check();
}

void snapshot_write(const uint16_t* frame, uint64_t number) {
    const ScriptedSetup& setup = scripted.setup;
    if (setup.snapshot_pattern.empty() ||
        !std::binary_search(setup.snapshot_frames.begin(), setup.snapshot_frames.end(), number)) {
        return;
    }
    char path[1024];
    std::snprintf(path, sizeof path, setup.snapshot_pattern.c_str(), static_cast<int>(number));
    if (!frame_write_png(frame, path)) {
        std::fprintf(stderr, "scripted run: cannot write %s\n", path);
    }
}

uint32_t scripted_ticks() {
    return scripted.now;
}

void scripted_sleep(uint32_t ms) {
    time_pass(ms);
}

bool scripted_event_poll(PlatformEvent* event) {
    if (scripted.next_event < scripted.script.size() &&
        scripted.script[scripted.next_event].tick <= scripted.now) {
        *event = scripted.script[scripted.next_event++].event;
        return true;
    }
    if (!scripted.pushed.empty()) {
        *event = scripted.pushed.front();
        scripted.pushed.pop_front();
        return true;
    }
    return false;
}

const char* scripted_video_open(const VideoMode& mode) {
    scripted.frame_rate = mode.frame_rate;
    return nullptr;
}

void scripted_video_present(const uint16_t* frame) {
    std::copy(frame, frame + frame_pixels, scripted.last_frame.begin());
    const ScriptedSinks& sinks = scripted.setup.sinks;
    if (sinks.frame != nullptr) {
        sinks.frame(sinks.context, frame, scripted.frames);
    }
    snapshot_write(frame, scripted.frames);
    scripted.frames++;
    time_pass(scripted.setup.frame_ms);
}

void scripted_video_lock() {
    scripted.locks++;
}

void scripted_nothing() {}

const char* scripted_audio_open(AudioRender render) {
    if (scripted.setup.audio_refused) {
        return "the scripted platform has no audio device";
    }
    scripted.audio_render = render;
    scripted.audio_opened_at = scripted.now;
    scripted.audio_frames = 0;
    return nullptr;
}

void scripted_audio_close() {
    scripted.audio_render = nullptr;
}

int32_t scripted_pad_count() {
    return static_cast<int32_t>(scripted.setup.pads.size());
}

const char* scripted_pad_name(int32_t pad) {
    return scripted.setup.pads[static_cast<size_t>(pad)].c_str();
}

// Headless: the line on stderr is all a notice shows.
void scripted_notice(const char*, const char*) {}

void scripted_debug(const char* text) {
    const ScriptedSinks& sinks = scripted.setup.sinks;
    if (sinks.debug_line != nullptr) {
        sinks.debug_line(sinks.context, text);
        return;
    }
    bounded_push(scripted.debug_lines, kept_lines, text);
}

constexpr Platform scripted_table = {
    scripted_ticks,         scripted_sleep,      scripted_event_poll, scripted_video_open,
    scripted_video_present, scripted_video_lock, scripted_nothing,    scripted_nothing,
    scripted_audio_open,    scripted_nothing,    scripted_nothing,    scripted_audio_close,
    scripted_pad_count,     scripted_pad_name,   scripted_notice,     scripted_debug,
};

std::vector<ScriptedEvent> script_merge(const ScriptedSetup& setup) {
    std::vector<ScriptedEvent> script;
    for (const ScriptedKey& key : setup.keys) {
        const auto type = key.pressed ? PlatformEventType::key_down : PlatformEventType::key_up;
        script.push_back(ScriptedEvent{key.tick, PlatformEvent{type, key.symbol, 0, 0, 0}});
    }
    script.insert(script.end(), setup.events.begin(), setup.events.end());
    std::stable_sort(
        script.begin(), script.end(),
        [](const ScriptedEvent& a, const ScriptedEvent& b) { return a.tick < b.tick; });
    return script;
}

} // namespace

void scripted_start(const ScriptedSetup& setup) {
    scripted = ScriptedState{};
    scripted.setup = setup;
    std::sort(scripted.setup.snapshot_frames.begin(), scripted.setup.snapshot_frames.end());
    scripted.script = script_merge(setup);
    platform_use(&scripted_table);
}

void scripted_stop() {
    platform_use(nullptr);
    scripted.audio_render = nullptr;
}

const Platform* scripted_platform() {
    return &scripted_table;
}

uint64_t scripted_frame_count() {
    return scripted.frames;
}

const std::vector<uint16_t>& scripted_last_frame() {
    return scripted.last_frame;
}

const std::vector<std::string>& scripted_debug_lines() {
    return scripted.debug_lines;
}

void scripted_push_key(uint32_t symbol, bool pressed) {
    const auto type = pressed ? PlatformEventType::key_down : PlatformEventType::key_up;
    scripted.pushed.push_back(PlatformEvent{type, symbol, 0, 0, 0});
}

void scripted_push_event(const PlatformEvent& event) {
    scripted.pushed.push_back(event);
}

uint64_t scripted_lock_count() {
    return scripted.locks;
}

int scripted_frame_rate() {
    return scripted.frame_rate;
}

bool scripted_audio_is_open() {
    return scripted.audio_render != nullptr;
}

uint64_t scripted_audio_frames() {
    return scripted.audio_frames;
}

long scripted_resident_kb() {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    long kb = -1;
    char line[256];
    while (status != nullptr && std::fgets(line, sizeof line, status) != nullptr) {
        if (std::sscanf(line, "VmRSS: %ld", &kb) == 1) {
            break;
        }
    }
    if (status != nullptr) {
        std::fclose(status);
    }
    return kb;
}
