#include "platform/notice_dialog.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

bool environment_set(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
}

// Headless runs (tests, CI, the dummy video driver) must never wait for someone to click.
bool dialog_possible() {
    if (!environment_set("DISPLAY")) {
        return false;
    }
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    return driver == nullptr || std::strcmp(driver, "dummy") != 0;
}

std::string program_path(const char* name) {
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= folders.size()) {
        size_t end = folders.find(':', start);
        if (end == std::string::npos) {
            end = folders.size();
        }
        std::string candidate = folders.substr(start, end - start);
        candidate = (candidate.empty() ? std::string(".") : candidate) + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        start = end + 1;
    }
    return {};
}

bool run_and_wait(const std::string& program, std::vector<std::string> arguments) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    pid_t child = fork();
    if (child < 0) {
        return false;
    }
    if (child == 0) {
        execve(program.c_str(), argv.data(), environ);
        _exit(127);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            return false;
        }
    }
    return WIFEXITED(status) && WEXITSTATUS(status) != 127;
}

bool dialog_show(const char* text, const char* caption) {
    std::string zenity = program_path("zenity");
    if (!zenity.empty()) {
        return run_and_wait(zenity, {"--info", "--no-markup", std::string("--title=") + caption,
                                     std::string("--text=") + text});
    }
    std::string kdialog = program_path("kdialog");
    if (!kdialog.empty()) {
        return run_and_wait(kdialog, {"--title", caption, "--msgbox", text});
    }
    std::string xmessage = program_path("xmessage");
    if (!xmessage.empty()) {
        return run_and_wait(xmessage, {"-title", caption, "-center", "-buttons", "OK", text});
    }
    return false;
}

} // namespace

void notice_dialog_show(const char* text, const char* caption) {
    if (dialog_possible()) {
        dialog_show(text, caption);
    }
}
