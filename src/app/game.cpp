#include "app/game.h"

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

void match_cycle() {
    debug_log("Game!\n");
    key_state.fill(0);
    KeyboardInput keyboard;
    const MatchInput input = keyboard_match_input(&keyboard);
    while (!quit_asked() && title_screen_run() != TitleChoice::quit) {
        match_play(input);
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

int game_run(const std::string& text_folder) {
    game_setup(text_folder);
    match_cycle();
    return program_exit();
}
