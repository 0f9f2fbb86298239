#include "match_driver.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "app/game.h"
#include "app/local_input.h"
#include "contestant.h"
#include "field/random.h"
#include "gfx/display.h"
#include "input/keyboard.h"
#include "match/match_loop.h"
#include "resources/archive.h"
#include "scripted.h"
#include "settings/game_settings.h"

namespace {

std::filesystem::path work_folder;

// The clock from the keyboard's input (nobody presses a key), the sides from the contestants.
struct TableInput {
    KeyboardInput keyboard;
    Contestant* sides[2];
    const MatchState* state;
    int64_t game_ms;
};

bool table_read(void* context, InputRecord* record) {
    auto* table = static_cast<TableInput*>(context);
    keyboard_input_read(&table->keyboard, record);
    const ComputerView view = computer_view_of(table->state, record->elapsed_ms);
    record->steer[0] = contestant_steer(table->sides[0], view);
    record->steer[1] = contestant_steer(table->sides[1], view);
    table->game_ms += record->elapsed_ms;
    return true;
}

void table_resync(void* context) {
    keyboard_input_resync(&static_cast<TableInput*>(context)->keyboard);
}

void game_random_place(uint32_t game_seed) {
    random_reset();
    for (uint32_t i = 0; i < (game_seed & 0xFFFFF); ++i) {
        random_below(2);
    }
}

} // namespace

bool match_driver_open(const char* archive_path, double speed, int32_t length_seconds) {
    scripted_start(ScriptedSetup{});
    game_settings_reset();
    GameSettings& s = game_settings;
    s.sound_disabled = 1;
    s.music_disabled = 1;
    s.plasma_disabled = 1; // only the picture: the bodies move the same
    s.fullscreen = 0;
    s.game_speed = speed;
    s.game_length = length_seconds;
    if (archive_open(archive_path) != 1) {
        std::fprintf(stderr, "computer-table: cannot open %s\n", archive_path);
        return false;
    }
    work_folder = std::filesystem::temp_directory_path() /
                  ("zorbit-computer-table-" + std::to_string(getpid()));
    std::filesystem::create_directories(work_folder);
    display_open(320, 200, 15, 0);
    game_setup("");
    return true;
}

MatchOutcome match_drive(Contestant* red, Contestant* green, uint32_t game_seed, int64_t cap_ms) {
    game_random_place(game_seed);
    key_state.fill(0);
    MatchState state{};
    TableInput table{KeyboardInput{}, {red, green}, &state, 0};
    MatchInput input;
    input.context = &table;
    input.read = table_read;
    input.resync = table_resync;
    match_begin(state, input);
    FrameResult result = FrameResult::next;
    while (result == FrameResult::next && table.game_ms <= cap_ms) {
        result = match_frame(state, input);
    }
    MatchOutcome out{};
    out.game_ms = table.game_ms;
    out.winner = result == FrameResult::won ? (match.side1_score > 5 ? 1 : 2) : 0;
    out.side1_score = match.side1_score;
    out.side2_score = match.side2_score;
    out.time_up = state.clock.remaining <= 0 && game_settings.game_length > 0;
    return out;
}

void match_driver_close() {
    program_exit();
    scripted_stop();
    std::error_code ignored;
    std::filesystem::remove_all(work_folder, ignored);
}
