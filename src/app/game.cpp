#include "app/game.h"

#include "app/local_input.h"
#include "app/match_run.h"

#include "field/body.h"
#include "field/plasma.h"
#include "field/random.h"
#include "gfx/display.h"
#include "gfx/pictures.h"
#include "input/keyboard.h"
#include "input/match_input.h"
#include "match/match_loop.h"
#include "platform/system.h"
#include "resources/archive.h"
#include "resources/text_extract.h"
#include "screens/title.h"
#include "settings/game_settings.h"
#include "sound/sound.h"

void game_setup(const std::string& text_folder) {
    plasma_make();
    if (!text_folder.empty()) {
        archive_extract_text(1, (text_folder + "/readme").c_str());
        archive_extract_text(0, (text_folder + "/file_id.diz").c_str());
    }
    sound_start();
    pixel_format_init();
    display_back_buffer_make();
    pictures_load();
    // What a fresh process starts with; matters when a test sets up more than once.
    match.marker_frame = 0;
    field.skip_next_collision = 0;
}

namespace {

// Keys 1 and 2 pit the player against the computer; any other key plays as the settings say.
void sides_choose(TitleChoice choice, LocalInput* local) {
    bool red = game_settings.red_player == PlayerKind::computer;
    bool green = game_settings.green_player == PlayerKind::computer;
    if (choice == TitleChoice::red_against_computer) {
        red = false;
        green = true;
    } else if (choice == TitleChoice::green_against_computer) {
        red = true;
        green = false;
    }
    local_input_start(local, red, green);
}

// What the plan plays before the title; false when the program is to end after it, with the
// status it ends with.
bool plan_play(const PlayPlan& plan, int* status) {
    if (plan.playback != nullptr) {
        playback_run(plan.playback);
        *status = plan.playback->differed ? 1 : 0;
    }
    if (plan.networked && !quit_asked()) {
        const NetworkEnd end = network_run(plan.network);
        // Headless, the session is the whole run, and any end but a player leaving is a failure.
        // At a window the title follows, and the game ends as it always does.
        if (plan.then_end && end != NetworkEnd::played) {
            *status = 1;
        }
    }
    return !plan.then_end;
}

} // namespace

void match_cycle(RecordingWriter* recorder) {
    debug_log("Game!\n");
    key_state.fill(0);
    LocalInput local;
    MatchWatch watch;
    watch.writer = recorder;
    watch.state_out = &local.state;
    for (;;) {
        const TitleChoice choice = quit_asked() ? TitleChoice::quit : title_screen_run();
        if (choice == TitleChoice::quit) {
            return;
        }
        sides_choose(choice, &local);
        match_run(local_match_input(&local), watch);
    }
}

int program_exit() {
    sound_stop();
    body_list_free();
    plasma_free();
    pictures_free();
    display_back_buffer_free();
    archive_close();
    display_close();
    // Leaving through Escape on the title screen is the normal end, not a failure.
    return 0;
}

int game_run(const std::string& text_folder, const PlayPlan& plan) {
    game_setup(text_folder);
    int status = 0;
    if (plan_play(plan, &status)) {
        match_cycle(plan.recorder);
    }
    const int closed = program_exit();
    return status != 0 ? status : closed;
}
