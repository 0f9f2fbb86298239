// The notice outside the scripted backend: stderr always, a dialog program only with a display.
#include "platform/debug_channel.h"
#include "platform/notice.h"
#include "support/scripted_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

namespace {

// Sets environment variables for one test and puts the old values back afterwards.
class NoticeEnvironment : public ::testing::Test {
  protected:
    void TearDown() override {
        for (auto& [name, value] : saved) {
            if (value.has_value) {
                setenv(name.c_str(), value.text.c_str(), 1);
            } else {
                unsetenv(name.c_str());
            }
        }
    }
    void environment_set(const std::string& name, const char* value) {
        if (saved.count(name) == 0) {
            const char* old = std::getenv(name.c_str());
            saved[name] = Saved{old != nullptr, old != nullptr ? old : ""};
        }
        if (value == nullptr) {
            unsetenv(name.c_str());
        } else {
            setenv(name.c_str(), value, 1);
        }
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
                   << "\"\necho " << name << " >> \"" << arguments_file() << "\"\n";
            script.close();
            std::filesystem::permissions(program, std::filesystem::perms::owner_all);
        }
        std::filesystem::remove(arguments_file());
        return folder.string();
    }
    std::string arguments_file() { return scripted_temp_path("arguments.txt"); }

    struct Saved {
        bool has_value;
        std::string text;
    };
    std::map<std::string, Saved> saved;
};

TEST_F(NoticeEnvironment, WithoutADisplayOnlyTheLineIsPrinted) {
    std::string bin = fake_programs({"zenity"});
    environment_set("PATH", bin.c_str());
    environment_set("DISPLAY", nullptr);
    environment_set("SDL_VIDEODRIVER", nullptr);
    testing::internal::CaptureStderr();
    notice_show("Cannot open ini file [zorbit.ini], loading defaults!", "Zorbit");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Zorbit: Cannot open ini file [zorbit.ini], loading defaults!\n");
    EXPECT_FALSE(std::filesystem::exists(arguments_file()));
}

TEST_F(NoticeEnvironment, HeadlessVideoDriverNeverShowsADialog) {
    std::string bin = fake_programs({"zenity"});
    environment_set("PATH", bin.c_str());
    environment_set("DISPLAY", ":99");
    environment_set("SDL_VIDEODRIVER", "dummy");
    testing::internal::CaptureStderr();
    notice_show("text", "Zorbit");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Zorbit: text\n");
    EXPECT_FALSE(std::filesystem::exists(arguments_file()));
}

TEST_F(NoticeEnvironment, ZenityComesFirstAndIsWaitedFor) {
    std::string bin = fake_programs({"zenity", "kdialog", "xmessage"});
    environment_set("PATH", bin.c_str());
    environment_set("DISPLAY", ":99");
    environment_set("SDL_VIDEODRIVER", nullptr);
    testing::internal::CaptureStderr();
    notice_show("Cannot open resource file", "Zorbit");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Zorbit: Cannot open resource file\n");
    // The file is complete when notice_show returns: the program was waited for.
    EXPECT_EQ(scripted_read_lines(arguments_file()),
              (std::vector<std::string>{"--info", "--no-markup", "--title=Zorbit",
                                        "--text=Cannot open resource file", "zenity"}));
}

TEST_F(NoticeEnvironment, KdialogThenXmessageWhenZenityIsMissing) {
    environment_set("DISPLAY", ":99");
    environment_set("SDL_VIDEODRIVER", nullptr);
    std::string bin = fake_programs({"kdialog", "xmessage"});
    environment_set("PATH", bin.c_str());
    testing::internal::CaptureStderr();
    notice_show("A", "Zorbit");
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(scripted_read_lines(arguments_file()),
              (std::vector<std::string>{"--title", "Zorbit", "--msgbox", "A", "kdialog"}));

    bin = fake_programs({"xmessage"});
    environment_set("PATH", bin.c_str());
    testing::internal::CaptureStderr();
    notice_show("B", "Zorbit");
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(scripted_read_lines(arguments_file()),
              (std::vector<std::string>{"-title", "Zorbit", "-center", "-buttons", "OK", "B",
                                        "xmessage"}));
}

TEST_F(NoticeEnvironment, NoDialogProgramLeavesTheLineAlone) {
    std::string bin = fake_programs({});
    environment_set("PATH", bin.c_str());
    environment_set("DISPLAY", ":99");
    environment_set("SDL_VIDEODRIVER", nullptr);
    testing::internal::CaptureStderr();
    notice_show("text", "Zorbit");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Zorbit: text\n");
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
