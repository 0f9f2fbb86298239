#include "app/startup.h"

#include "app/game.h"
#include "app/hash_file.h"
#include "gfx/display.h"
#include "net/net_session.h"
#include "platform/paths.h"
#include "platform/platform.h"
#include "platform/system.h"
#include "resources/archive.h"
#include "settings/game_settings.h"
#include "sound/sound.h"

namespace {

// A missing archive is a failure, not a normal end.
int archive_missing(const std::string& where) {
    notice_show("Cannot open resource file", "Zorbit");
    warning("looked for zrb.res in %s", where.c_str());
    return 1;
}

void options_apply(const Options& options) {
    if (options.fullscreen >= 0) {
        game_settings.fullscreen = options.fullscreen;
    }
    if (options.scale_given) {
        game_settings.video_scale = options.scale;
    }
}

} // namespace

namespace {

// What this run does besides the title and its matches, and what it needs for it.
struct Run {
    PlayPlan plan;
    Playback playback;
    RecordingWriter recorder;
    HashFile hashes;
    uint64_t archive_hash = 0;
};

bool options_conflict(const Options& options) {
    const int ways = !options.play.empty() + options.host + !options.join.empty();
    if (ways > 1) {
        warning("choose one of --play, --host and --join");
    }
    return ways > 1;
}

void recorder_open(Run* run, const std::string& path) {
    const GameSettings& s = game_settings;
    const RecordingHeader header{ZORBIT_VERSION,
                                 run->archive_hash,
                                 {s.game_speed, s.game_length, s.plasma_disabled, s.refresh_rate}};
    if (recording_writer_open(&run->recorder, path.c_str(), &header) == 1) {
        run->plan.recorder = &run->recorder;
    } else {
        warning("not recording: %s", run->recorder.error.c_str());
    }
}

void network_plan(Run* run, const Options& options, bool headless) {
    NetworkPlan& network = run->plan.network;
    run->plan.networked = options.host || !options.join.empty();
    network.host = options.host;
    network.port = static_cast<uint16_t>(options.port > 0 ? options.port
                                         : headless       ? 0
                                                          : net_default_port);
    network.join = options.join;
    network.archive_hash = run->archive_hash;
    network.log_folder = headless ? "." : user_folder(UserFolder::data);
    network.record = run->plan.recorder;
    if (!headless && !network.log_folder.empty() && !folder_make(network.log_folder, nullptr)) {
        network.log_folder.clear();
    }
}

// False (after one line) when the command line asks for what cannot be: the status then is 2.
bool run_prepare(Run* run, const Options& options, const GameFiles& files, bool headless) {
    if (options_conflict(options)) {
        return false;
    }
    const bool hash =
        !options.record.empty() || !options.play.empty() || options.host || !options.join.empty();
    run->archive_hash = hash ? archive_file_hash(files.archive_path.c_str()) : 0;
    if (!options.play.empty()) {
        run->playback.window = !headless;
        if (!playback_open(&run->playback, options.play.c_str(), run->archive_hash)) {
            return false;
        }
        run->plan.playback = &run->playback;
    }
    if (!options.hashes.empty() && !hash_file_open(&run->hashes, options.hashes.c_str())) {
        warning("cannot write frame hashes to %s", options.hashes.c_str());
        return false;
    }
    if (!options.record.empty()) {
        recorder_open(run, options.record);
    }
    network_plan(run, options, headless);
    // Headless, a playback or a session is the whole run.
    run->plan.then_end = headless && (run->plan.playback != nullptr || run->plan.networked);
    return true;
}

// One line per pad found, saying which side it steers.
void pads_announce() {
    for (int32_t pad = 0; pad < pad_count(); ++pad) {
        const char* side = pad == game_settings.red_pad     ? "steers red"
                           : pad == game_settings.green_pad ? "steers green"
                                                            : "is not used";
        warning("pad %d: %s %s", pad, pad_name(pad), side);
    }
}

} // namespace

int startup_run(const Options& options, const GameFiles& files, bool headless) {
    if (!archive_open(files.archive_path.c_str())) {
        return archive_missing(files.archive_path);
    }
    game_settings.settings_path = files.settings_path;
    game_settings_load(files.settings_path.c_str());
    options_apply(options);
    Run run;
    if (!run_prepare(&run, options, files, headless)) {
        archive_close();
        return 2;
    }
    display_open(320, 200, 15, game_settings.fullscreen);
    pads_announce();
    sound_clear_samples();
    // A playback writes no file.
    const int status = game_run(run.plan.playback ? "" : files.text_folder, run.plan);
    recording_writer_close(&run.recorder);
    hash_file_close(&run.hashes);
    return status;
}

int startup_main(int argc, char** argv) {
    Options options;
    switch (options_parse(argc, argv, &options)) {
    case OptionsResult::done:
        return 0;
    case OptionsResult::bad:
        return 2;
    case OptionsResult::run:
        break;
    }
    GameFiles files;
    const std::string here = executable_folder();
    if (!game_files_find(here, options.data, options.config, &files)) {
        return archive_missing(game_files_searched(here, options.data));
    }
    return startup_run(options, files);
}
