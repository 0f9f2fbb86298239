#include "app/startup.h"

#include "app/display.h"
#include "app/game_settings.h"
#include "match/setup.h"
#include "platform/notice.h"
#include "resources/archive.h"
#include "sound/sound.h"

int startup_main() {
    if (!archive_open(archive_file_name)) {
        notice_show("Cannot open resource file", "Zorbit");
        // A missing archive is a failure, not a normal end.
        return 1;
    }
    game_settings_load(settings_file_name);
    display_open(320, 200, 15, fullscreen);
    sound_clear_samples();
    game_run();
}
