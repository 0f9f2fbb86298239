// Golden frames: hashes of chosen frames of a fixed match, so that any change in what is drawn
// shows up. After a deliberate change of the drawing, regenerate them (see golden/README).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "game_harness.h"
#include "match/match_loop.h"

namespace {

const char* golden_path = ZORBIT_SOURCE_DIR "/tests/match/golden/match_frames.txt";

// Both players steer: red right then up, green left then down, while the plasma runs; the short
// clock runs out, and the match goes on until the winning goal.
TEST(Golden, FramesOfAFixedMatchMatchTheStoredHashes) {
    ScriptedSetup setup;
    setup.keys = {
        {0, 275, true},    {0, 111, true},    {600, 275, false},  {650, 273, true},
        {700, 111, false}, {900, 97, true},   {1500, 273, false}, {1600, 97, false},
        {1700, 276, true}, {1800, 112, true}, {2400, 276, false}, {2600, 112, false},
    };
    game_harness_start(setup);
    FrameHashes collected;
    game_settings.game_length = 3;
    game_settings.game_speed = 2.0;
    MatchState state{};
    match_begin(state, harness_input());
    for (int frames = 0; frames < 20000; ++frames) {
        if (match_frame(state, harness_input()) != FrameResult::next) {
            break;
        }
    }
    const std::vector<uint64_t>& hashes = collected.hashes;
    std::ostringstream recorded;
    recorded << "frames " << hashes.size() << " score " << match.side1_score << "-"
             << match.side2_score << "\n";
    for (size_t i = 0; i < hashes.size(); ++i) {
        char line[48];
        std::snprintf(line, sizeof line, "%zu %016llx\n", i, (unsigned long long)hashes[i]);
        recorded << (i % 50 == 0 || i + 1 == hashes.size() ? line : "");
    }
    game_harness_stop();
    if (std::getenv("ZORBIT_UPDATE_GOLDEN") != nullptr) {
        std::ofstream(golden_path) << recorded.str();
        GTEST_SKIP() << "golden frames rewritten: " << golden_path;
    }
    std::ifstream in(golden_path);
    ASSERT_TRUE(in) << "missing " << golden_path;
    std::stringstream stored;
    stored << in.rdbuf();
    EXPECT_EQ(recorded.str(), stored.str());
}

} // namespace
