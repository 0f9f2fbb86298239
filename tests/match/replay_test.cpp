// Whole games through zorbit-replay on the test archive: title, matches, the end, the exit.
#include <gtest/gtest.h>

#include "replay_support.h"

namespace {

// Space starts a match from the title; Escape held at the end leaves the program.
constexpr const char* escape_at_title = "900000 down escape\n";

TEST(Replay, EscapeOnTheTitleEndsWithStatusZeroAndWritesTheTexts) {
    const auto dir = game_folder_make("");
    std::ofstream(dir / "readme") << "old contents that must go";
    const ReplayRun run = replay_run(dir, "100 down escape\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(file_text(dir / "readme"), "readme of the test archive\n");
    EXPECT_EQ(file_text(dir / "file_id.diz"), "file_id.diz of the test archive\n");
    EXPECT_NE(run.trace.find("Game!\n"), std::string::npos);
    EXPECT_EQ(run.trace.find("match start"), std::string::npos);
    const ReplayRun again = replay_run(dir, "100 down escape\n");
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(file_text(dir / "readme"), "readme of the test archive\n");
}

TEST(Replay, Explore) {
    const auto dir = game_folder_make("[general]\ngamelength=0\ngamespeed=30\n");
    const ReplayRun run =
        replay_run(dir, std::string("100 down space\n300 up space\n") + escape_at_title);
    std::printf("%s status %d frames %zu\n%s\n%s", dir.c_str(), run.status, run.hashes.size(),
                run.trace.c_str(), run.err.c_str());
}

} // namespace
