// Whole games through zorbit-replay on the test archive: title, matches, the end, the exit, and
// recordings: a match recorded replays frame for frame, and a damaged or foreign file is refused
// with one line and status 2 before anything plays or is written.
#include <gtest/gtest.h>

#include <tuple>

#include "replay_support.h"

namespace {

TEST(Replay, AMalformedScriptIsRefusedWithTheLineNamed) {
    GameFolder dir;
    game_folder_make(dir, "");
    const ReplayRun run = replay_run(dir, "100 down space\n# fine\n\n200 sideways space\n");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("line 4"), std::string::npos) << run.err;
    EXPECT_TRUE(run.hashes.empty());
    EXPECT_EQ(replay_run(dir, "100 down nosuchkey\n").status, 2);
}

TEST(Replay, AMissingOrOversizedPictureStopsWithAMessage) {
    const std::tuple<int, TestEntry, const char*> cases[] = {
        {22, test_entry({}), "Cannot load picture 22 from zrb.res"},
        {9, pattern_entry(321, 10, 1), "Cannot use picture 9 from zrb.res"},
    };
    for (const auto& [index, entry, message] : cases) {
        auto entries = game_archive_entries();
        entries[index] = entry;
        GameFolder dir;
        game_folder_make(dir, "", entries);
        const ReplayRun run = replay_run(dir, "100 down escape\n");
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
        EXPECT_TRUE(run.hashes.empty());
    }
}

// Pictures far larger or smaller than the game draws them: goal pictures and end screens that
// overflow their places, short animation and marker strips, a narrow clock. The match must play
// to its end without touching memory outside a buffer (the sanitizer build checks).
TEST(Replay, OddSizedPicturesPlayAWholeMatch) {
    auto entries = game_archive_entries();
    for (int i : {25, 26, 27, 28, 29, 30}) {
        entries[i] = pattern_entry(320, 200, i);
    }
    const int odd[][3] = {{14, 320, 200}, {15, 300, 150}, {21, 20, 3}, {22, 10, 100},
                          {23, 31, 40},   {24, 43, 500},  {7, 60, 40}, {8, 1, 1}};
    for (const auto& [index, w, h] : odd) {
        entries[index] = pattern_entry(w, h, index);
    }
    GameFolder dir;
    game_folder_make(dir, "[general]\ngamelength=2\ngamespeed=40\n", entries);
    // A match, a key on the end screen, then Escape on the title.
    const ReplayRun run = replay_run(dir, "100 down space\n300 up space\n900000 down space\n"
                                          "900100 up space\n901000 down escape\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(trace_lines_with(run.trace, "wins").size(), 1u) << run.trace;
    EXPECT_EQ(test_read_text(dir / "readme"), "readme of the test archive\n");
}

// A short fast match that scores, the end screen, then Escape on the title.
constexpr const char* recorded_script = "100 down space\n300 up space\n400 down right\n"
                                        "1400 up right\n1000 down o\n1900 up o\n"
                                        "900000 down space\n900100 up space\n"
                                        "901000 down escape\n901100 up escape\n";

TEST(Recording, AMatchReplaysFrameForFrameAndADamagedFileIsRefused) {
    GameFolder dir;
    game_folder_make(dir, "[general]\ngamelength=3\ngamespeed=30\n");
    const ReplayRun recorded = replay_run(dir, recorded_script, "--record run.zrec");
    ASSERT_EQ(recorded.status, 0) << recorded.err;
    ASSERT_GT(recorded.hashes.size(), 300u);
    std::filesystem::remove(dir / "readme");
    const ReplayRun played = replay_run(dir, "", "--play run.zrec");
    EXPECT_EQ(played.status, 0) << played.err;
    EXPECT_EQ(played.hashes, recorded.hashes);
    EXPECT_FALSE(std::filesystem::exists(dir / "readme")) << "a playback writes no file";

    // Each kind of damage has its message pinned where the file is read; here the game's answer.
    std::vector<uint8_t> flipped = test_read_file((dir / "run.zrec").string());
    flipped[40] ^= 0x55;
    test_write_file((dir / "bad.zrec").string(), flipped);
    std::filesystem::remove(dir / "hashes.txt");
    const ReplayRun refused = replay_run(dir, "", "--play bad.zrec");
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("damaged at byte"), std::string::npos) << refused.err;
    EXPECT_EQ(std::count(refused.err.begin(), refused.err.end(), '\n'), 1) << refused.err;
    EXPECT_TRUE(refused.hashes.empty());
    EXPECT_FALSE(std::filesystem::exists(dir / "readme"));

    // The same file beside another zrb.res.
    auto entries = game_archive_entries();
    entries[1] = test_entry(test_text_entry("another readme\n"));
    test_write_file((dir / "zrb.res").string(), test_archive_bytes(entries));
    const ReplayRun foreign = replay_run(dir, "", "--play run.zrec");
    EXPECT_EQ(foreign.status, 2);
    EXPECT_NE(foreign.err.find("made with a different zrb.res"), std::string::npos) << foreign.err;
}

// Both sides played by the computer: two runs give the same frames, and so does the recording.
TEST(Recording, TheComputerAgainstItselfPlaysTheSameMatchTwiceAndReplaysIt) {
    GameFolder dir;
    game_folder_make(dir, "[general]\ngamelength=5\ngamespeed=30\n"
                          "[players]\nred=computer\ngreen=computer\nskill=3\n");
    const std::string script = "100 down space\n300 up space\n"
                               "900000 down space\n900100 up space\n"
                               "901000 down escape\n901100 up escape\n";
    const ReplayRun first = replay_run(dir, script, "--record cpu.zrec");
    const ReplayRun second = replay_run(dir, script);
    const ReplayRun played = replay_run(dir, "", "--play cpu.zrec");
    EXPECT_EQ(first.status, 0) << first.err;
    ASSERT_GT(first.hashes.size(), 100u);
    EXPECT_EQ(first.hashes, second.hashes);
    EXPECT_EQ(played.hashes, first.hashes) << played.err;
    EXPECT_EQ(trace_lines_with(first.trace, "wins").size(), 1u) << "the match was played out";
}

} // namespace
