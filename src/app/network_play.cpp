#include "app/network_play.h"

#include "app/match_carry.h"
#include "app/match_run.h"
#include "gfx/bitmap.h"
#include "gfx/display.h"
#include "gfx/pictures.h"
#include "gfx/sprite.h"
#include "gfx/text.h"
#include "input/keyboard.h"
#include "input/pads.h"
#include "net/net_session.h"
#include "platform/platform.h"
#include "platform/system.h"
#include "record/recording.h"
#include "screens/title.h"
#include "settings/game_settings.h"

#include <array>
#include <cstdio>

namespace {

constexpr uint32_t poll_ms = 2;
// Between two looks at the other side outside a match: the game's own clock, so a scripted run
// passes it in virtual time.
constexpr uint32_t wait_ms = 10;
constexpr uint32_t message_ms = 2500;
constexpr uint32_t linger_ms = 500;

struct NetworkPlay {
    NetSession session;
    RecordingWriter log;
    RecordingWriter* writer = nullptr;
    std::string log_path;
};

// This machine's side, steered by both key sets and both pads.
uint8_t local_steer() {
    const GameSettings& s = game_settings;
    return keyboard_steer(s.red_keys) | keyboard_steer(s.green_keys) |
           pad_steer(s.red_pad, s.pad_dead_zone) | pad_steer(s.green_pad, s.pad_dead_zone);
}

// Shown again while the other side's record is on its way: the window stays alive, nothing is
// counted as a frame.
void frame_show_again() {
    video_present(display.back_buffer);
}

bool net_read(void* context, InputRecord* record) {
    NetSession& session = static_cast<NetworkPlay*>(context)->session;
    for (;;) {
        pump_events();
        const uint8_t keys =
            keyboard_match_keys() & (match_key_escape | match_key_f11 | match_key_f12);
        if (net_session_take_input(session, local_steer(), keys, *record)) {
            return true;
        }
        if (net_session_over(session)) {
            return false;
        }
        if (keys & match_key_escape) {
            net_session_leave(session);
            return false;
        }
        frame_show_again();
        net_session_wait(session, poll_ms);
    }
}

void net_resync(void* context) {
    net_session_poll(static_cast<NetworkPlay*>(context)->session);
}

// A key pressed since the last look. Compared with the last look, not with the screen's first
// frame: a key held as the screen came, let go and pressed again is a press too.
bool key_pressed_since(const std::array<uint8_t, key_count>& before) {
    for (int key = 0; key < key_count; ++key) {
        if (key_state[key] != 0 && before[key] == 0) {
            return true;
        }
    }
    return false;
}

// The first key on either end screen ends it on both.
void net_end_wait(void* context) {
    NetSession& session = static_cast<NetworkPlay*>(context)->session;
    net_session_match_finish(session);
    std::array<uint8_t, key_count> before = key_state;
    while (!net_session_end_agreed(session) && !net_session_over(session) && !quit_asked()) {
        pump_events();
        if (key_pressed_since(before)) {
            net_session_request_end(session);
        }
        before = key_state;
        net_session_poll(session);
        delay_ms(wait_ms);
    }
}

MatchInput net_input(NetworkPlay* play) {
    MatchInput input;
    input.context = play;
    input.read = net_read;
    input.resync = net_resync;
    input.end_wait = net_end_wait;
    return input;
}

// The title picture with a line of text across its lower part, shown without being counted.
void screen_with_line(const char* line) {
    if (pictures.title_picture != nullptr) {
        bitmap_put(pictures.title_picture, 0, 0);
    }
    for (int32_t y = 140; y < 160; ++y) {
        for (int32_t x = 0; x < frame_width; ++x) {
            display.back_buffer[y * frame_width + x] = 0;
        }
    }
    text_draw_centred(line, 146);
    video_present(display.back_buffer);
}

void line_show(const char* line) {
    if (line[0] == '\0') {
        return;
    }
    warning("%s", line);
    screen_with_line(line);
    for (uint32_t waited = 0; waited < message_ms && !quit_asked(); waited += 10) {
        pump_events();
        delay_ms(10);
    }
}

bool escape_pressed() {
    return key_state[key_escape] != 0 || key_state[key_pad_back] != 0 || quit_asked();
}

// Until both games agree on everything; false when the player gave up or it failed.
bool session_wait_ready(NetworkPlay* play, const NetworkPlan& plan) {
    NetSession& session = play->session;
    char line[96];
    if (plan.host) {
        std::snprintf(line, sizeof line, "waiting for a player on port %u",
                      static_cast<unsigned>(net_session_port(session)));
    } else {
        std::snprintf(line, sizeof line, "joining %s", plan.join.c_str());
    }
    warning("%s", line);
    while (session.status == NetStatus::waiting || session.status == NetStatus::handshake) {
        screen_with_line(line);
        pump_events();
        if (escape_pressed()) {
            net_session_leave(session);
            wait_keys_released();
            return false;
        }
        net_session_wait(session, poll_ms);
    }
    return session.status == NetStatus::ready;
}

void session_settings_take(const NetSettings& settings) {
    GameSettings& s = game_settings;
    s.game_speed = net_settings_game_speed(settings);
    s.game_length = settings.game_length;
    s.plasma_disabled = settings.plasma_enabled ? 0 : 1;
    s.refresh_rate = settings.refresh_rate;
}

void log_open(NetworkPlay* play, const NetworkPlan& plan) {
    play->writer = plan.record;
    if (play->writer != nullptr || plan.log_folder.empty()) {
        return;
    }
    play->log_path = plan.log_folder + (plan.host ? "/network-host.zrec" : "/network-guest.zrec");
    const GameSettings& s = game_settings;
    const RecordingHeader header{ZORBIT_VERSION,
                                 plan.archive_hash,
                                 {s.game_speed, s.game_length, s.plasma_disabled, s.refresh_rate}};
    if (recording_writer_open(&play->log, play->log_path.c_str(), &header) == 1) {
        play->writer = &play->log;
    } else {
        warning("%s", play->log.error.c_str());
    }
}

bool title_started(void* context) {
    NetSession& session = *static_cast<NetSession*>(context);
    net_session_poll(session);
    return net_session_start_agreed(session) || session.start_remote || net_session_over(session);
}

// The titles run on each side; the first key on either starts both. False when the player left
// or the session ended.
bool match_start_agreed(NetworkPlay* play) {
    NetSession& session = play->session;
    const TitleHooks hooks{&session, title_started, true};
    if (title_screen_run(&hooks) == TitleChoice::quit) {
        net_session_leave(session);
        return false;
    }
    net_session_request_start(session);
    while (!net_session_start_agreed(session) && !net_session_over(session) && !quit_asked()) {
        pump_events();
        net_session_poll(session);
        delay_ms(wait_ms);
    }
    return net_session_start_agreed(session) && net_session_match_begin(session);
}

void matches_play(NetworkPlay* play) {
    NetSession& session = play->session;
    const MatchInput input = net_input(play);
    MatchWatch watch;
    watch.writer = play->writer;
    watch.net = &session;
    while (!quit_asked() && match_start_agreed(play)) {
        match_run(input, watch);
        if (net_session_over(session)) {
            return;
        }
    }
}

NetworkEnd session_end(NetworkPlay* play) {
    NetSession& session = play->session;
    const NetStatus status = session.status;
    // This player's own leaving needs no words.
    if (status != NetStatus::left) {
        line_show(net_session_message(session));
    }
    if ((status == NetStatus::desync || status == NetStatus::lost) && !play->log_path.empty()) {
        warning("this side's input log: %s", play->log_path.c_str());
    }
    net_session_close(session, linger_ms);
    if (play->writer == &play->log) {
        recording_writer_close(&play->log);
    }
    if (status == NetStatus::desync || status == NetStatus::lost) {
        return NetworkEnd::lost;
    }
    return status == NetStatus::left || status == NetStatus::other_left ? NetworkEnd::played
                                                                        : NetworkEnd::failed;
}

bool session_open(NetworkPlay* play, const NetworkPlan& plan) {
    const GameSettings& s = game_settings;
    NetConfig config{};
    config.game_version = ZORBIT_VERSION;
    config.resource_hash = plan.archive_hash;
    config.settings = net_settings_make(s.game_speed, s.game_length, s.plasma_disabled == 0,
                                        s.refresh_rate, s.input_delay);
    config.port = plan.host ? plan.port : net_default_port;
    config.lost_after_ms = net_default_lost_after_ms;
    return plan.host ? net_session_host(play->session, config)
                     : net_session_join(play->session, config, plan.join.c_str());
}

} // namespace

NetworkEnd network_run(const NetworkPlan& plan) {
    NetworkPlay play;
    const GameSettings mine = game_settings;
    const int32_t threshold = alpha_threshold;
    if (!session_open(&play, plan)) {
        line_show(net_session_message(play.session));
        return NetworkEnd::failed;
    }
    if (!session_wait_ready(&play, plan)) {
        return session_end(&play);
    }
    // From here on the host's settings shape every match on both sides.
    session_settings_take(play.session.settings);
    // Both games start from the same carried state; the blend threshold is this screen's own.
    MatchCarry carry = match_carry_fresh();
    carry.alpha_threshold = threshold;
    match_carry_apply(carry);
    log_open(&play, plan);
    matches_play(&play);
    const NetworkEnd end = session_end(&play);
    game_settings = mine;
    return end;
}
