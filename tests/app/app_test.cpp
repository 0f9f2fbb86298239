// The command line and where a run finds its files.
#include "app/command_line.h"
#include "app/game_files.h"
#include "app/startup.h"
#include "support/test_archive.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

// Calls the program's entry with these words after its name; what it said on stderr in *said.
template <typename Entry>
auto with_words(std::vector<std::string> words, Entry entry, std::string* said = nullptr) {
    words.insert(words.begin(), "zorbit");
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const auto result = entry(static_cast<int>(argv.size()), argv.data());
    testing::internal::GetCapturedStdout();
    const std::string err = testing::internal::GetCapturedStderr();
    if (said != nullptr) {
        *said = err;
    }
    return result;
}

TEST(CommandLine, EachOptionOverridesItsSettingAndABadOneIsRefused) {
    const struct {
        std::vector<std::string> words;
        OptionsResult result;
        std::string seen; // what the options came to
    } cases[] = {
        {{}, OptionsResult::run, "full -1 scale - host 0:0"},
        {{"--fullscreen", "--scale=0"}, OptionsResult::run, "full 1 scale 0 host 0:0"},
        {{"--config", "my.ini", "--data=/opt/z"},
         OptionsResult::run,
         "full -1 scale - host 0:0 config my.ini data /opt/z"},
        {{"--host", "4000", "--windowed"}, OptionsResult::run, "full 0 scale - host 1:4000"},
        {{"--host", "--windowed"}, OptionsResult::run, "full 0 scale - host 1:0"},
        {{"--join", "10.0.0.2:4000", "--play", "a.zrec"},
         OptionsResult::run,
         "full -1 scale - host 0:0 join 10.0.0.2:4000 play a.zrec"},
        {{"-h"}, OptionsResult::done, ""},
        {{"--version"}, OptionsResult::done, ""},
        {{"--scale"}, OptionsResult::bad, ""},
        {{"--scale", "big"}, OptionsResult::bad, ""},
        {{"--host", "0"}, OptionsResult::bad, ""},
        {{"--host", "70000"}, OptionsResult::bad, ""},
        {{"--help=yes"}, OptionsResult::bad, ""},
        {{"game.zrec"}, OptionsResult::bad, ""},
    };
    for (const auto& c : cases) {
        Options o;
        const OptionsResult result = with_words(
            c.words, [&o](int argc, char** argv) { return options_parse(argc, argv, &o); });
        ASSERT_EQ(result, c.result) << testing::PrintToString(c.words);
        if (result != OptionsResult::run) {
            continue;
        }
        std::string seen = "full " + std::to_string(o.fullscreen) + " scale " +
                           (o.scale_given ? std::to_string(o.scale) : "-") + " host " +
                           std::to_string(o.host) + ":" + std::to_string(o.port);
        for (const auto& [name, value] : {std::pair{"config", o.config},
                                          {"data", o.data},
                                          {"join", o.join},
                                          {"record", o.record},
                                          {"play", o.play}}) {
            seen += value.empty() ? "" : std::string(" ") + name + " " + value;
        }
        EXPECT_EQ(seen, c.seen) << testing::PrintToString(c.words);
    }
}

class GameFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        root =
            std::filesystem::temp_directory_path() / ("zorbit-files-" + std::to_string(::getpid()));
        std::filesystem::remove_all(root);
        setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
        setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
    }
    void TearDown() override {
        unsetenv("XDG_CONFIG_HOME");
        unsetenv("XDG_DATA_HOME");
        std::filesystem::remove_all(root);
    }
    void file(const std::filesystem::path& path, const std::string& text) {
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path) << text;
    }
    std::filesystem::path root;
};

TEST_F(GameFilesTest, AnInstalledGameMakesTheUsersSettingsOnceFromTheShippedOnes) {
    file(root / "usr/share/zorbit/zrb.res", "archive");
    file(root / "usr/share/zorbit/zorbit.ini", "[General]\nGameSpeed=10\n");
    std::filesystem::create_directories(root / "usr/bin");
    GameFiles files;
    ASSERT_TRUE(game_files_find((root / "usr/bin").string(), "", "", &files));
    EXPECT_EQ(files.settings_path, (root / "config/zorbit/zorbit.ini").string());
    EXPECT_EQ(test_read_text(files.settings_path), "[General]\nGameSpeed=10\n");
    file(files.settings_path, "[General]\nGameSpeed=20\n");
    ASSERT_TRUE(game_files_find((root / "usr/bin").string(), "", "", &files));
    EXPECT_EQ(test_read_text(files.settings_path), "[General]\nGameSpeed=20\n")
        << "made once, then kept";
}

TEST_F(GameFilesTest, APortableGameKeepsAllBesideItselfUnlessTheCommandLineSaysOtherwise) {
    file(root / "game/zrb.res", "archive");
    file(root / "game/zorbit.ini", "[video]\n");
    GameFiles files;
    ASSERT_TRUE(game_files_find((root / "game").string(), "", "", &files));
    EXPECT_EQ(files.archive_path, (root / "game/zrb.res").string());
    EXPECT_EQ(files.settings_path, (root / "game/zorbit.ini").string());
    EXPECT_EQ(files.text_folder, (root / "game").string());
    EXPECT_FALSE(std::filesystem::exists(root / "config"));

    std::filesystem::remove(root / "game/zorbit.ini");
    file(root / "other/zrb.res", "archive");
    file(root / "other/zorbit.ini", "[video]\n");
    ASSERT_TRUE(game_files_find((root / "game").string(), (root / "other").string(),
                                (root / "mine.ini").string(), &files));
    EXPECT_EQ(files.archive_path, (root / "other/zrb.res").string());
    EXPECT_EQ(files.settings_path, (root / "mine.ini").string());

    // No zorbit.ini beside the game: the user's folder, which cannot be made under a file.
    setenv("XDG_CONFIG_HOME", "/dev/null/config", 1);
    testing::internal::CaptureStderr();
    ASSERT_TRUE(game_files_find((root / "game").string(), (root / "other").string(), "", &files));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(files.settings_path, (root / "other/zorbit.ini").string()) << "the shipped one";
    EXPECT_NE(said.find("Zorbit: cannot keep settings in /dev/null/config/zorbit"),
              std::string::npos)
        << said;
    EXPECT_FALSE(game_files_find((root / "nowhere").string(), "", "", &files));
}

// Status 2 and one line, before any window opens.
TEST_F(GameFilesTest, CommandLinesThatAskForTwoThingsAtOnceAreRefused) {
    file(root / "game/zorbit.ini", "[audio]\nenablesound=0\n");
    test_write_file((root / "game/zrb.res").string(),
                    test_archive_bytes(std::vector<TestEntry>(31)));
    std::string said;
    const std::vector<std::string> words = {"--data", (root / "game").string(), "--host", "--join",
                                            "127.0.0.1"};
    EXPECT_EQ(with_words(words, startup_main, &said), 2) << said;
    EXPECT_NE(said.find("Zorbit: choose one of --play, --host and --join\n"), std::string::npos)
        << said;
}

} // namespace
