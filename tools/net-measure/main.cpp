// net-measure: a network match at the real frame rate between a host and a guest of this
// process, through udp-relay, with each side paced as the game paces its frames.
//   net-measure [--seconds S] [--rtt MS | --jitter MIN-MAX] [--drop SHARE] [--dup SHARE]
//               [--delay FRAMES] [--rate FPS] [--seed N] [--vanish-after S]
//               [--pacer game|restart] [--waiting again|poll]
// Reports bytes per second each way; stalls, frames shown more than half a period after their
// turn; waits, frames whose record from the other side was not there when the loop wanted it;
// frames shown again while waiting; and the input delay a player feels: the frames between
// sampling a key and the frame that first shows it.
// --waiting says what a loop turn that finds no record does: again (the game's) shows the last
// frame again through the pacer, which sleeps to the next frame's turn, then looks again; poll
// looks again every millisecond and shows the last frame again only once a whole period has
// passed since a frame was last shown.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "net/net_session.h"
#include "relay.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr uint32_t ip_udp_header_bytes = 28;
constexpr double warm_up_seconds = 1.0;

struct MeasureOptions {
    double seconds = 60.0;
    uint32_t delay_min_ms = 25; // each way
    uint32_t delay_max_ms = 25;
    double drop = 0.0;
    double duplicate = 0.0;
    int32_t input_delay = net_default_input_delay;
    int32_t rate = 60;
    uint64_t seed = 1;
    double vanish_after = 0;         // seconds into the match when the guest is killed; 0: never
    bool restart_after_wait = false; // the pacer starts afresh after a frame that waited
    bool show_again = true;          // a turn that waits shows the last frame again at once
};

struct MeasureSide {
    const char* name = "";
    NetSession session{};
    Clock::duration period{};
    double period_ms = 0;
    NetTraffic before{};              // counted from the match's first frame on
    Clock::time_point ready_at{};     // the pacer lets the next frame start here
    Clock::time_point shown_at{};     // when a frame was last shown
    Clock::time_point next_present{}; // the pacer's schedule
    bool pacing = false;
    bool waiting = false; // the current frame's record is late
    Clock::time_point wait_since{};
    bool restart_after_wait = false;
    bool show_again = true;
    uint64_t shown_again = 0;                 // frames shown again while waiting
    std::vector<Clock::time_point> sampled{}; // when each frame's record was sampled here
    uint64_t frames = 0;
    uint64_t waits = 0; // frames whose record from the other side was not here yet
    double wait_ms = 0;
    Clock::time_point last_shown{};
    uint64_t stalls = 0;      // frames shown more than half a period after their turn
    uint64_t busy_stalls = 0; // of those, frames whose record was here: the machine was busy
    uint64_t warm_up_stalls = 0;
    double felt_sum = 0;
    double felt_max = 0;
    uint64_t felt_count = 0;
    uint64_t hash = 14695981039346656037ull;
};

double ms_between(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// The game's pacer: sleep to the schedule, or start it afresh after falling a period behind.
// With restart_after_wait it also starts afresh after any wait for the other side, so that the
// side that runs early drifts back instead of catching up and waiting again.
void side_present(MeasureSide& side, Clock::time_point now, bool restart) {
    side.shown_at = now;
    if (!side.pacing || restart || now > side.next_present + side.period) {
        side.pacing = true;
        side.next_present = now + side.period;
        side.ready_at = now;
        return;
    }
    side.ready_at = std::max(now, side.next_present);
    side.next_present += side.period;
}

void side_note_felt(MeasureSide& side, uint32_t frame, Clock::time_point now) {
    if (frame < side.session.settings.input_delay || frame >= side.sampled.size()) {
        return;
    }
    double felt = ms_between(side.sampled[frame], now) / side.period_ms;
    side.felt_sum += felt;
    side.felt_max = std::max(side.felt_max, felt);
    side.felt_count += 1;
}

void side_note_wait(MeasureSide& side, Clock::time_point now) {
    if (!side.waiting) {
        side.waiting = true;
        side.wait_since = now;
        side.waits += 1;
    }
}

// What a player sees: a frame that comes more than half a period after its turn.
// A stall whose record was here when the loop first looked is the machine's, not the network's.
void side_note_stall(MeasureSide& side, Clock::time_point now, Clock::time_point begin,
                     bool waited) {
    const bool late = side.frames > 0 && ms_between(side.last_shown, now) > 1.5 * side.period_ms;
    side.last_shown = now;
    if (late) {
        if (ms_between(begin, now) < warm_up_seconds * 1000) {
            ++side.warm_up_stalls;
        } else {
            ++side.stalls;
            side.busy_stalls += waited ? 0 : 1;
        }
    }
}

void side_frame_done(MeasureSide& side, const InputRecord& record, Clock::time_point now,
                     Clock::time_point begin) {
    const uint32_t frame = side.session.next_frame - 1;
    const bool waited = side.waiting;
    if (waited) {
        side.wait_ms += ms_between(side.wait_since, now);
        side.waiting = false;
    }
    side_note_stall(side, now, begin, waited);
    side_note_felt(side, frame, now);
    side.hash = (side.hash ^ (record.steer[0] | record.steer[1] << 4)) * 1099511628211ull;
    if (net_hash_due(frame)) {
        net_session_send_hash(side.session, frame, side.hash);
    }
    side.frames += 1;
    side_present(side, now, waited && side.restart_after_wait);
}

// The last frame shown again, through the pacer as every frame is; the next look comes when
// the pacer lets the loop go on.
void side_wait_turn(MeasureSide& side, Clock::time_point now) {
    const bool period_passed = ms_between(side.shown_at, now) >= side.period_ms;
    if (side.show_again || period_passed) {
        side.shown_again += 1;
        side_present(side, now, false);
    }
}

// One turn of the game's frame loop. Like the game, a side polls the network once a frame, and
// keeps polling only while it waits for a record.
void side_step(MeasureSide& side, Clock::time_point begin) {
    const Clock::time_point now = Clock::now();
    if (now < side.ready_at || !side.session.playing || net_session_over(side.session)) {
        return;
    }
    const uint32_t target = side.session.next_frame + side.session.settings.input_delay;
    if (target >= side.sampled.size()) {
        side.sampled.resize(target + 1024);
    }
    // A player who changes direction every third of a second.
    InputRecord record{};
    if (net_session_take_input(side.session, uint8_t(1 << (target / 20 % 4)), 0, record)) {
        side.sampled[target] = now;
        side_frame_done(side, record, now, begin);
    } else {
        side_note_wait(side, now);
        side_wait_turn(side, now);
    }
}

struct Measure {
    MeasureOptions options;
    MeasureSide host;
    MeasureSide guest;
    UdpRelay relay;
    bool vanished = false;
    Clock::time_point vanished_at{};
    double lost_after_ms = 0; // how long the host took to say so
};

void measure_pump(Measure& measure) {
    net_session_poll(measure.host.session);
    net_session_poll(measure.guest.session);
    udp_relay_wait(measure.relay, 1);
}

// The guest's process dies: its socket closes without a word to the host.
void measure_vanish(Measure& measure, Clock::time_point begin) {
    const double after = measure.options.vanish_after;
    if (measure.vanished || after <= 0 || ms_between(begin, Clock::now()) < after * 1000) {
        return;
    }
    measure.guest.session.link.reset();
    measure.vanished = true;
    measure.vanished_at = Clock::now();
}

void measure_play(Measure& measure, Clock::time_point begin, Clock::time_point end) {
    while (Clock::now() < end && !net_session_over(measure.host.session) &&
           !net_session_over(measure.guest.session)) {
        measure_vanish(measure, begin);
        side_step(measure.host, begin);
        if (measure.vanished) {
            net_session_poll(measure.host.session); // the host waits for a record, and polls
        } else {
            side_step(measure.guest, begin);
        }
        udp_relay_wait(measure.relay, 1);
    }
    if (measure.vanished && net_session_over(measure.host.session)) {
        measure.lost_after_ms = ms_between(measure.vanished_at, Clock::now());
    }
}

bool measure_until(Measure& measure, double seconds, bool (*done)(const Measure&)) {
    const Clock::time_point end = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                                     std::chrono::duration<double>(seconds));
    while (!done(measure) && Clock::now() < end) {
        measure_pump(measure);
    }
    return done(measure);
}

NetConfig measure_config(const MeasureOptions& options) {
    NetConfig config{};
    config.game_version = "measure";
    config.resource_hash = 1;
    config.settings = net_settings_make(1.0, 0, true, options.rate, options.input_delay);
    config.bind_address = "127.0.0.1";
    config.lost_after_ms = net_default_lost_after_ms;
    return config;
}

bool measure_connect(Measure& measure) {
    const NetConfig config = measure_config(measure.options);
    if (!net_session_host(measure.host.session, config)) {
        return false;
    }
    RelayOptions relay{};
    relay.server_port = net_session_port(measure.host.session);
    relay.drop = measure.options.drop;
    relay.duplicate = measure.options.duplicate;
    relay.delay_min_ms = measure.options.delay_min_ms;
    relay.delay_max_ms = measure.options.delay_max_ms;
    relay.seed = measure.options.seed;
    if (!udp_relay_open(measure.relay, relay)) {
        return false;
    }
    std::string address = "127.0.0.1:" + std::to_string(udp_relay_port(measure.relay));
    return net_session_join(measure.guest.session, config, address.c_str()) &&
           measure_until(measure, 10, [](const Measure& m) {
               return m.host.session.status == NetStatus::ready &&
                      m.guest.session.status == NetStatus::ready;
           });
}

// The host's player presses a key on the title; the guest follows when the message arrives.
bool measure_start(Measure& measure) {
    net_session_request_start(measure.host.session);
    net_session_match_begin(measure.host.session);
    return measure_until(
               measure, 10,
               [](const Measure& m) { return net_session_start_agreed(m.guest.session); }) &&
           net_session_match_begin(measure.guest.session);
}

void side_report(const MeasureSide& side, double seconds) {
    NetTraffic traffic = net_session_traffic(side.session);
    traffic.bytes_sent -= side.before.bytes_sent;
    traffic.datagrams_sent -= side.before.datagrams_sent;
    std::printf("%-5s sends %6.0f B/s of ENet payload, %6.0f B/s with IP and UDP headers "
                "(%.1f datagrams/s)\n",
                side.name, traffic.bytes_sent / seconds,
                (traffic.bytes_sent + ip_udp_header_bytes * traffic.datagrams_sent) / seconds,
                traffic.datagrams_sent / seconds);
    const double minutes = (seconds - warm_up_seconds) / 60;
    std::printf("      %llu frames, %.1f stalls per minute after the first second (%llu in it), "
                "%.1f of them with the record here; %.1f waits per minute, %.1f ms each; "
                "%.1f frames shown again per minute\n",
                (unsigned long long)side.frames, side.stalls / minutes,
                (unsigned long long)side.warm_up_stalls, side.busy_stalls / minutes,
                side.waits * 60.0 / seconds, side.waits ? side.wait_ms / double(side.waits) : 0.0,
                side.shown_again * 60.0 / seconds);
    std::printf("      felt input delay %.2f frames on average, %.2f at most\n",
                side.felt_count ? side.felt_sum / double(side.felt_count) : 0.0, side.felt_max);
}

void measure_report(const Measure& measure, double seconds) {
    const MeasureOptions& options = measure.options;
    std::printf("one-way delay %u-%u ms, loss %.0f%%, duplicates %.0f%%, input delay %d frames, "
                "%d frames/s, %.0f s, %s pacer, %s while waiting\n",
                options.delay_min_ms, options.delay_max_ms, options.drop * 100,
                options.duplicate * 100, options.input_delay, options.rate, seconds,
                options.restart_after_wait ? "restarting" : "game's",
                options.show_again ? "showing again" : "polling");
    side_report(measure.host, seconds);
    side_report(measure.guest, seconds);
    for (const MeasureSide* side : {&measure.host, &measure.guest}) {
        if (net_session_over(side->session)) {
            std::printf("%s: %s\n", side->name, net_session_message(side->session));
        }
    }
    if (measure.vanished) {
        std::printf("the guest vanished; the host said so %.0f ms later\n", measure.lost_after_ms);
    }
}

bool number_read(const char* text, double minimum, double maximum, double& value) {
    char* end = nullptr;
    value = std::strtod(text, &end);
    return end != text && *end == '\0' && value >= minimum && value <= maximum;
}

bool jitter_read(const char* text, MeasureOptions& options) {
    double low = 0;
    double high = 0;
    std::string first(text, std::strcspn(text, "-"));
    const char* dash = std::strchr(text, '-');
    if (!dash || !number_read(first.c_str(), 0, 5000, low) ||
        !number_read(dash + 1, low, 5000, high)) {
        return false;
    }
    options.delay_min_ms = uint32_t(low);
    options.delay_max_ms = uint32_t(high);
    return true;
}

bool option_read(MeasureOptions& options, const std::string& name, const char* value) {
    double number = 0;
    if (name == "--jitter") {
        return jitter_read(value, options);
    }
    if (name == "--drop") {
        return number_read(value, 0, 1, options.drop);
    }
    if (name == "--dup") {
        return number_read(value, 0, 1, options.duplicate);
    }
    if (name == "--seconds") {
        return number_read(value, 2, 3600, options.seconds);
    }
    if (name == "--vanish-after") {
        return number_read(value, 0, 3600, options.vanish_after);
    }
    if (name == "--waiting") {
        options.show_again = std::strcmp(value, "again") == 0;
        return options.show_again || std::strcmp(value, "poll") == 0;
    }
    if (name == "--pacer") {
        options.restart_after_wait = std::strcmp(value, "restart") == 0;
        return options.restart_after_wait || std::strcmp(value, "game") == 0;
    }
    bool ok = number_read(value, 0, 10000, number);
    if (name == "--rtt") {
        options.delay_min_ms = options.delay_max_ms = uint32_t(number / 2);
    } else if (name == "--delay") {
        options.input_delay = int32_t(number);
        ok = ok && number <= net_input_delay_max;
    } else if (name == "--rate") {
        options.rate = int32_t(number);
        ok = ok && number >= 1 && number <= net_refresh_rate_max;
    } else if (name == "--seed") {
        options.seed = uint64_t(number);
    } else {
        ok = false;
    }
    return ok;
}

void side_pace(MeasureSide& side, int32_t rate) {
    side.period = std::chrono::nanoseconds(1'000'000'000LL / rate);
    side.period_ms = 1000.0 / rate;
}

int usage() {
    std::fprintf(stderr, "usage: net-measure [--seconds S] [--rtt MS | --jitter MIN-MAX] "
                         "[--drop SHARE] [--dup SHARE] [--delay FRAMES] [--rate FPS] [--seed N] "
                         "[--vanish-after S] [--pacer game|restart] [--waiting again|poll]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    Measure measure;
    measure.host.name = "host";
    measure.guest.name = "guest";
    for (int i = 1; i < argc; i += 2) {
        if (i + 1 >= argc || !option_read(measure.options, argv[i], argv[i + 1])) {
            return usage();
        }
    }
    for (MeasureSide* side : {&measure.host, &measure.guest}) {
        side_pace(*side, measure.options.rate);
        side->restart_after_wait = measure.options.restart_after_wait;
        side->show_again = measure.options.show_again;
    }
    if (!measure_connect(measure) || !measure_start(measure)) {
        std::fprintf(stderr, "net-measure: the two sessions did not get together\n");
        return 1;
    }
    measure.host.before = net_session_traffic(measure.host.session);
    measure.guest.before = net_session_traffic(measure.guest.session);
    const Clock::time_point begin = Clock::now();
    const Clock::time_point end =
        begin + std::chrono::duration_cast<Clock::duration>(
                    std::chrono::duration<double>(measure.options.seconds));
    measure_play(measure, begin, end);
    measure_report(measure, ms_between(begin, Clock::now()) / 1000);
    net_session_close(measure.guest.session, 0);
    net_session_close(measure.host.session, 0);
    udp_relay_close(measure.relay);
    return 0;
}
