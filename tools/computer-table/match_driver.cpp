#include "match_driver.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "app/display.h"
#include "app/game_settings.h"
#include "app/keyboard.h"
#include "app/utility.h"
#include "contestant.h"
#include "field/body.h"
#include "gfx/bitmap.h"
#include "match/match_loop.h"
#include "match/setup.h"
#include "platform/clock.h"
#include "platform/scripted.h"
#include "resources/archive.h"

namespace {

std::filesystem::path work_folder;

ComputerBody body_seen(const Body* b) {
    return ComputerBody{b->x, b->y, b->vx, b->vy, b->image->width, b->image->height};
}

ComputerView view_of(const MatchState& state) {
    ComputerView v{};
    v.red = body_seen(body_head);
    v.green = body_seen(body_head->next);
    v.ball = body_seen(body_tail);
    v.side1_score = side1_score;
    v.side2_score = side2_score;
    v.remaining_ms = state.clock.remaining;
    v.frame_count = frame_counter;
    v.game_speed = game_speed;
    v.elapsed_ms = static_cast<int32_t>(clock_ticks() - state.last_ticks);
    return v;
}

void keys_set(const PlayerKeys& keys, uint8_t bits) {
    key_state[keys.left] = (bits & steer_left) != 0;
    key_state[keys.right] = (bits & steer_right) != 0;
    key_state[keys.up] = (bits & steer_up) != 0;
    key_state[keys.down] = (bits & steer_down) != 0;
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
    sound_disabled = 1;
    music_disabled = 1;
    plasma_disabled = 1; // only the picture: the bodies move the same
    fullscreen = 0;
    game_speed = speed;
    game_length = length_seconds;
    if (archive_open(archive_path) != 1) {
        std::fprintf(stderr, "computer-table: cannot open %s\n", archive_path);
        return false;
    }
    // Set-up writes readme and file_id.diz into the working folder: keep them out of the caller's.
    work_folder = std::filesystem::temp_directory_path() /
                  ("zorbit-computer-table-" + std::to_string(getpid()));
    std::filesystem::create_directories(work_folder);
    std::filesystem::current_path(work_folder);
    display_open(320, 200, 15, 0);
    game_setup();
    return true;
}

MatchOutcome match_drive(Contestant* red, Contestant* green, uint32_t game_seed, int64_t cap_ms) {
    scripted_start(ScriptedSetup{}); // drops the frame hashes of the last match
    game_random_place(game_seed);
    key_state.fill(0);
    MatchState state{};
    match_begin(state);
    MatchOutcome out{};
    FrameResult result = FrameResult::next;
    while (result == FrameResult::next && out.game_ms <= cap_ms) {
        const ComputerView view = view_of(state);
        keys_set(red_keys, contestant_steer(red, view));
        keys_set(green_keys, contestant_steer(green, view));
        out.game_ms += view.elapsed_ms;
        result = match_frame(state);
    }
    key_state.fill(0);
    out.winner = result == FrameResult::won ? (side1_score > 5 ? 1 : 2) : 0;
    out.side1_score = side1_score;
    out.side2_score = side2_score;
    out.time_up = state.clock.remaining <= 0 && game_length > 0;
    return out;
}

void match_driver_close() {
    body_list_free();
    archive_close();
    scripted_stop();
    std::error_code ignored;
    std::filesystem::remove_all(work_folder, ignored);
}
