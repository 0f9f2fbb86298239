// The key redefinition screen: the answers, where they land, and the block saved for next time.
#include <sys/resource.h>

#include <csignal>
#include <sstream>
#include <string>

#include "screens_fixture.h"
#include "settings/settings_file.h"

namespace {

std::string key_block(const Answers& a) {
    std::ostringstream block;
    block << "\n   ; Redefined keys\n   [Controls/RedPlayer]\n"
          << "       Left=" << a[0] << "\n       Right=" << a[1] << "\n       Up=" << a[2]
          << "\n       Down=" << a[3] << "\n\n   [Controls/GreenPlayer]\n"
          << "       Left=" << a[4] << "\n       Right=" << a[5] << "\n       Up=" << a[6]
          << "\n       Down=" << a[7] << "\n";
    return block.str();
}

const std::string earlier_settings = "; my own settings\r\n[General]\n  GameSpeed=15 ; faster\n"
                                     "[Controls/RedPlayer]\nLeft=1";

// Each redefinition appends its block and keeps every earlier byte; the last block wins at the
// next start. A thousand more blocks, codes 1..511 in turn, so each differs from the one before.
TEST_F(ScreensTest, RedefinitionsAppendBlocksAndTheLastWinsAtTheNextStart) {
    test_write_file(settings_file_name, {earlier_settings.begin(), earlier_settings.end()});
    start(answers_script(letters_and_arrows));
    const Frame before = screen_show_pattern(12);
    key_screen_run();
    EXPECT_EQ(keys_now(), letters_and_arrows);
    std::string expected = earlier_settings + key_block(letters_and_arrows);
    EXPECT_EQ(test_read_text(settings_file_name), expected);
    EXPECT_EQ(frames(), 1 + key_screen_frames);
    EXPECT_EQ(presented_hashes().back(), frame_hash(before.data()));
    EXPECT_EQ(screen(), before);
    EXPECT_EQ(overlays.overlay_busy, 0);
    for (int entry : {18, 19, 20}) {
        EXPECT_EQ(archive_entry_record(entry)->ref_count, 0) << "entry " << entry;
    }
    // Each prompt waits with its marker at its place on the keys picture, then marks it taken.
    Frame shown = curtain_over(before, pattern_pixels(320, 159, 11), 80);
    const int places[8][2] = {{90, 93},  {90, 113},  {90, 135},  {90, 157},
                              {205, 93}, {205, 113}, {205, 135}, {205, 157}};
    for (int i = 0; i < 8; ++i) {
        for (int taken = 0; taken < 2; ++taken) {
            for (int y = places[i][1]; y < places[i][1] + 6; ++y) {
                std::fill_n(shown.begin() + y * frame_width + places[i][0], 8,
                            taken ? marker_taken_colour : marker_wait_colour);
            }
            EXPECT_EQ(frame_find(shown), 1 + 64 + 80 + 2 * i + taken)
                << "prompt " << i << (taken ? " taken" : " waiting");
        }
    }

    for (int block = 0; block < 1000; ++block) {
        Answers c{};
        for (int k = 0; k < 8; ++k) {
            c[k] = static_cast<uint32_t>((block * 8 + k) % 511 + 1);
        }
        game_settings.red_keys = {int32_t(c[0]), int32_t(c[1]), int32_t(c[2]), int32_t(c[3])};
        game_settings.green_keys = {int32_t(c[4]), int32_t(c[5]), int32_t(c[6]), int32_t(c[7])};
        ASSERT_TRUE(key_block_append(settings_file_name)) << "block " << block;
        expected += key_block(c);
    }
    EXPECT_TRUE(test_read_text(settings_file_name) == expected) << "the file differs";
    game_settings_reset();
    game_settings_load(settings_file_name);
    EXPECT_NEAR(game_settings.game_speed, 1.5, 1e-6) << "the earlier settings still read";
    // Block 999 holds 999 * 8 % 511 + 1 = 328 and the seven codes after it.
    EXPECT_EQ(keys_now(), (Answers{328, 329, 330, 331, 332, 333, 334, 335}));
}

TEST_F(ScreensTest, FunctionKeysAreAnswersLikeAnyOther) {
    // F2 opens the screen and is let go at the first prompt: that release answers red left.
    std::vector<ScriptedKey> keys = answers_script({282, 283, 'w', 's', 276, 275, 273, 282}, 4000,
                                                   {{0, 283, true}, {3700, 283, false}});
    keys.erase(keys.begin() + 2, keys.begin() + 4); // red left comes from F2's release instead
    start(keys);
    pump_events();
    function_keys_handle(keyboard_match_keys());
    EXPECT_EQ(keys_now(), (Answers{283, 283, 'w', 's', 276, 275, 273, 282}));
    EXPECT_EQ(frames(), key_screen_frames) << "F1 at a prompt is an answer, not the info screen";
    EXPECT_EQ(test_read_text(settings_file_name),
              key_block({283, 283, 'w', 's', 276, 275, 273, 282}))
        << "a file that was not there is made with the block alone";
}

TEST_F(ScreensTest, AFullDiskIsReportedAndTheKeysStayForTheRun) {
    std::filesystem::create_symlink("/dev/full", settings_file_name);
    start(answers_script(letters_and_arrows));
    testing::internal::CaptureStderr();
    key_screen_run();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Zorbit: cannot save the new keys to zorbit.ini: No space left on device\n");
    EXPECT_EQ(keys_now(), letters_and_arrows);
    EXPECT_EQ(overlays.overlay_busy, 0);
}

// Runs in a child: the file may grow to `room` bytes only, so the block is cut short.
void key_block_append_with_room(size_t room) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{room, room};
    setrlimit(RLIMIT_FSIZE, &limit);
    std::_Exit(key_block_append(settings_file_name) ? 1 : 0);
}

TEST_F(ScreensTest, ABlockCutShortIsTakenBackOut) {
    test_write_file(settings_file_name, {earlier_settings.begin(), earlier_settings.end()});
    EXPECT_EXIT(key_block_append_with_room(earlier_settings.size() + 60),
                ::testing::ExitedWithCode(0),
                "Zorbit: cannot save the new keys to zorbit.ini: File too large");
    EXPECT_EQ(test_read_text(settings_file_name), earlier_settings);
}

} // namespace
