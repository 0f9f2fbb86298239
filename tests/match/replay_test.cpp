// Whole games through zorbit-replay on the test archive: title, matches, the end, the exit, and
// recordings: a match recorded replays frame for frame, and a damaged or foreign file is refused
// with one line and status 2 before anything plays or is written.
#include <gtest/gtest.h>

#include <tuple>

#include "replay_support.h"

namespace {

TEST(Replay, EscapeOnTheTitleEndsWithStatusZeroAndWritesTheTexts) {
    GameFolder dir;
    game_folder_make(dir, "");
    std::ofstream(dir / "readme") << "old contents that must go";
    const ReplayRun run = replay_run(dir, "100 down escape\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(test_read_text(dir / "readme"), "readme of the test archive\n");
    EXPECT_EQ(test_read_text(dir / "file_id.diz"), "file_id.diz of the test archive\n");
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
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        const char* said;
    } cases[] = {{"flipped", flipped, "damaged at byte"},
                 {"nothing", {}, "not a Zorbit recording"}};
    for (const auto& c : cases) {
        test_write_file((dir / "bad.zrec").string(), c.bytes);
        std::filesystem::remove(dir / "hashes.txt");
        const ReplayRun refused = replay_run(dir, "", "--play bad.zrec");
        EXPECT_EQ(refused.status, 2) << c.name;
        EXPECT_NE(refused.err.find(c.said), std::string::npos) << c.name << ": " << refused.err;
        EXPECT_EQ(std::count(refused.err.begin(), refused.err.end(), '\n'), 1) << refused.err;
        EXPECT_TRUE(refused.hashes.empty()) << c.name;
    }
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
