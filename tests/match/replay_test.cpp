// Whole games through zorbit-replay on the test archive: title, matches, the end, the exit.
#include <gtest/gtest.h>

#include "replay_support.h"

namespace {

TEST(Replay, EscapeOnTheTitleEndsWithStatusZeroAndWritesTheTexts) {
    GameFolder dir;
    game_folder_make(dir, "");
    std::ofstream(dir / "readme") << "old contents that must go";
    const ReplayRun run = replay_run(dir, "100 down escape\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(file_text(dir / "readme"), "readme of the test archive\n");
    EXPECT_EQ(file_text(dir / "file_id.diz"), "file_id.diz of the test archive\n");
    EXPECT_NE(run.trace.find("Game!\n"), std::string::npos);
    EXPECT_EQ(run.trace.find("match start"), std::string::npos);
}

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
    const struct {
        int index;
        TestEntry entry;
        const char* message;
    } cases[] = {{22, test_entry({}), "Cannot load picture 22 from zrb.res"},
                 {9, pattern_entry(321, 10, 1), "Cannot use picture 9 from zrb.res"}};
    for (const auto& c : cases) {
        auto entries = game_archive_entries();
        entries[c.index] = c.entry;
        GameFolder dir;
        game_folder_make(dir, "", entries);
        const ReplayRun run = replay_run(dir, "100 down escape\n");
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_TRUE(run.hashes.empty());
    }
}

// Pictures far larger or smaller than the game draws them: goal pictures and end screens that
// overflow their places, short animation and marker strips, a narrow clock. The match must play
// to its end without touching memory outside a buffer (the sanitizer build checks).
TEST(Replay, OddSizedPicturesPlayAWholeMatch) {
    auto entries = game_archive_entries();
    entries[14] = pattern_entry(320, 200, 1);
    entries[15] = pattern_entry(300, 150, 2);
    for (int i : {25, 26, 27, 28, 29, 30}) {
        entries[i] = pattern_entry(320, 200, i);
    }
    entries[21] = pattern_entry(20, 3, 5);
    entries[22] = pattern_entry(10, 100, 6);
    entries[23] = pattern_entry(31, 40, 7);
    entries[24] = pattern_entry(43, 500, 8);
    entries[7] = pattern_entry(60, 40, 9);
    entries[8] = pattern_entry(1, 1, 10);
    GameFolder dir;
    game_folder_make(dir, "[general]\ngamelength=2\ngamespeed=40\n", entries);
    // A match, a key on the end screen, then Escape on the title.
    const ReplayRun run = replay_run(dir, "100 down space\n300 up space\n900000 down space\n"
                                          "900100 up space\n901000 down escape\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(trace_lines_with(run.trace, "wins").size(), 1u) << run.trace;
}

} // namespace
