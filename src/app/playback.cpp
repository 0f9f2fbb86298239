#include "app/playback.h"

#include "app/match_carry.h"
#include "app/match_run.h"
#include "input/keyboard.h"
#include "platform/system.h"
#include "settings/game_settings.h"

namespace {

constexpr uint32_t end_screen_ms = 2500;

// Any key pressed since the last look stops a playback that someone watches.
bool key_stops(Playback* playback) {
    if (!playback->window) {
        return false;
    }
    pump_events();
    playback->stopped = playback->stopped || count_held_keys() > 0 || quit_asked();
    return playback->stopped;
}

bool playback_read(void* context, InputRecord* record) {
    auto* playback = static_cast<Playback*>(context);
    return !key_stops(playback) && recording_next_frame(&playback->reader, record) == 1;
}

void playback_resync(void*) {}

void playback_end_wait(void* context) {
    auto* playback = static_cast<Playback*>(context);
    for (uint32_t waited = 0; playback->window && waited < end_screen_ms && !key_stops(playback);
         waited += 10) {
        delay_ms(10);
    }
}

MatchInput playback_input(Playback* playback) {
    MatchInput input;
    input.context = playback;
    input.read = playback_read;
    input.resync = playback_resync;
    input.end_wait = playback_end_wait;
    return input;
}

void settings_take(const RecordingSettings& recorded) {
    game_settings.game_speed = recorded.game_speed;
    game_settings.game_length = recorded.game_length;
    game_settings.plasma_disabled = recorded.plasma_disabled;
}

// The game must end each match where the recording does.
bool ends_agree(Playback* playback, FrameResult result) {
    InputRecord unused{};
    const bool more = recording_next_frame(&playback->reader, &unused) == 1;
    const MatchEnd end = playback->reader.match_end;
    switch (result) {
    case FrameResult::won:
        return !more && end == MatchEnd::finished;
    case FrameResult::quit:
        return !more && end == MatchEnd::escaped;
    default:
        return true; // stopped: a key, or the records ran out
    }
}

} // namespace

bool playback_open(Playback* playback, const char* path, uint64_t archive_hash) {
    if (recording_reader_open(&playback->reader, path, archive_hash) != 1) {
        warning("%s", playback->reader.error.c_str());
        return false;
    }
    if (!playback->reader.note.empty()) {
        warning("%s", playback->reader.note.c_str());
    }
    return true;
}

void playback_run(Playback* playback) {
    const GameSettings mine = game_settings;
    settings_take(playback->reader.header.settings);
    const MatchInput input = playback_input(playback);
    MatchCarry carry{};
    while (!playback->stopped && recording_next_match(&playback->reader, &carry) == 1) {
        ++playback->match;
        match_carry_apply(carry);
        const FrameResult result = match_run(input, MatchWatch{});
        if (!playback->stopped && !ends_agree(playback, result)) {
            warning("match %d of %s ends otherwise than it was recorded", playback->match,
                    playback->reader.name.c_str());
            playback->differed = true;
        }
    }
    game_settings = mine;
}
