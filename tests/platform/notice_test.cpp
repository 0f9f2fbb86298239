// The notice outside the scripted backend: stderr always, a dialog program only with a display.
#include "platform/platform.h"
#include "platform/sdl_platform.h"
#include "support/scripted_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>

namespace {

// Sets environment variables for one test and puts the old values back afterwards.
class NoticeEnvironment : public ::testing::Test {
  protected:
    void SetUp() override { platform_use(sdl_platform()); }
    void TearDown() override {
        platform_use(nullptr);
        for (auto& [name, value] : saved) {
            value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
        }
    }
    void environment_set(const std::string& name, const char* value) {
        if (saved.count(name) == 0) {
            const char* old = std::getenv(name.c_str());
            saved[name] = old != nullptr ? std::optional<std::string>(old) : std::nullopt;
        }
        value != nullptr ? setenv(name.c_str(), value, 1) : unsetenv(name.c_str());
    }
    // A folder of stand-in dialog programs that write their arguments to a file.
    std::string fake_programs(const std::vector<std::string>& names) {
        std::filesystem::path folder = scripted_temp_path("bin");
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        for (const std::string& name : names) {
            std::filesystem::path program = folder / name;
            std::ofstream script(program);
            script << "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > \"" << arguments_file()
                   << "\"\n";
            script.close();
            std::filesystem::permissions(program, std::filesystem::perms::owner_all);
        }
        std::filesystem::remove(arguments_file());
        return folder.string();
    }
    std::string arguments_file() { return scripted_temp_path("arguments.txt"); }

    std::map<std::string, std::optional<std::string>> saved;
};

TEST_F(NoticeEnvironment, PrintsTheLineAndShowsTheFirstDialogProgramFound) {
    // Programs on the path, DISPLAY, SDL_VIDEODRIVER, and what the first program found was given.
    const struct {
        std::vector<std::string> programs;
        const char* display;
        const char* driver;
        std::vector<std::string> arguments; // empty: no dialog runs
    } cases[] = {
        {{"zenity"}, nullptr, nullptr, {}},
        // Headless runs must never wait for someone to click.
        {{"zenity"}, ":99", "dummy", {}},
        {{}, ":99", nullptr, {}},
        {{"zenity", "kdialog", "xmessage"},
         ":99",
         nullptr,
         {"--info", "--no-markup", "--title=Zorbit", "--text=Cannot open resource file"}},
        {{"kdialog", "xmessage"},
         ":99",
         nullptr,
         {"--title", "Zorbit", "--msgbox", "Cannot open resource file"}},
        {{"xmessage"},
         ":99",
         nullptr,
         {"-title", "Zorbit", "-center", "-buttons", "OK", "Cannot open resource file"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.programs.empty() ? "none" : c.programs[0]);
        environment_set("PATH", fake_programs(c.programs).c_str());
        environment_set("DISPLAY", c.display);
        environment_set("SDL_VIDEODRIVER", c.driver);
        testing::internal::CaptureStderr();
        notice_show("Cannot open resource file", "Zorbit");
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "Zorbit: Cannot open resource file\n");
        // The file is complete when notice_show returns: the program was waited for.
        EXPECT_EQ(scripted_read_lines(arguments_file()), c.arguments);
    }
}

TEST_F(NoticeEnvironment, DebugChannelGoesToItsFileOnly) {
    std::string log = scripted_temp_path("debug.log");
    std::filesystem::remove(log);
    environment_set("ZORBIT_DEBUG_LOG", nullptr);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    debug_channel_write("lost\n");
    environment_set("ZORBIT_DEBUG_LOG", log.c_str());
    debug_channel_write("Game!\n");
    debug_channel_write("SDL key code :27\n");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(scripted_read_lines(log), (std::vector<std::string>{"Game!", "SDL key code :27"}));
}

} // namespace
