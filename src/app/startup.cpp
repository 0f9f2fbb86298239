#include "app/startup.h"

#include "app/game.h"
#include "gfx/display.h"
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

int startup_run(const Options& options, const GameFiles& files) {
    if (!archive_open(files.archive_path.c_str())) {
        return archive_missing(files.archive_path);
    }
    game_settings.settings_path = files.settings_path;
    game_settings_load(files.settings_path.c_str());
    options_apply(options);
    display_open(320, 200, 15, game_settings.fullscreen);
    sound_clear_samples();
    return game_run(files.text_folder);
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
