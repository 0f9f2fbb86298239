#include "app/startup.h"

#include "app/game.h"
#include "gfx/display.h"
#include "platform/platform.h"
#include "resources/archive.h"
#include "settings/game_settings.h"
#include "sound/sound.h"

int startup_main() {
    if (!archive_open(archive_file_name)) {
        notice_show("Cannot open resource file", "Zorbit");
        // A missing archive is a failure, not a normal end.
        return 1;
    }
    game_settings_load(game_settings.settings_path.c_str());
    display_open(320, 200, 15, game_settings.fullscreen);
    sound_clear_samples();
    return game_run();
}
