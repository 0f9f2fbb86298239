// Recordings through zorbit-replay: a match recorded replays frame for frame, and a damaged or
// foreign file is refused with one line and status 2 before anything plays or is written.
#include <gtest/gtest.h>

#include "replay_support.h"

namespace {

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

} // namespace
