#include "platform/paths.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// An XDG variable must hold an absolute path to count.
std::string xdg_base(const char* variable, const char* under_home) {
    const std::string value = environment(variable);
    if (!value.empty() && value[0] == '/') {
        return value;
    }
    const std::string home = environment("HOME");
    return home.empty() ? "" : home + "/" + under_home;
}

// XDG_PICTURES_DIR="$HOME/Pictures" in user-dirs.dirs, as xdg-user-dirs writes it.
std::string user_dirs_pictures() {
    std::ifstream file(xdg_base("XDG_CONFIG_HOME", ".config") + "/user-dirs.dirs");
    const std::string key = "XDG_PICTURES_DIR=\"";
    for (std::string line; std::getline(file, line);) {
        if (line.rfind(key, 0) != 0 || line.size() < key.size() + 1 || line.back() != '"') {
            continue;
        }
        std::string value = line.substr(key.size(), line.size() - key.size() - 1);
        if (value.rfind("$HOME", 0) == 0) {
            value = environment("HOME") + value.substr(5);
        }
        return value.empty() || value[0] != '/' ? "" : value;
    }
    return "";
}

std::string pictures_base() {
    std::string base = environment("XDG_PICTURES_DIR");
    if (base.empty() || base[0] != '/') {
        base = user_dirs_pictures();
    }
    const std::string home = environment("HOME");
    if (base.empty() && !home.empty()) {
        base = home + "/Pictures";
    }
    return base;
}

} // namespace

std::string executable_folder() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? "" : self.parent_path().string();
}

std::string user_folder(UserFolder which) {
    std::string base;
    switch (which) {
    case UserFolder::config:
        base = xdg_base("XDG_CONFIG_HOME", ".config");
        break;
    case UserFolder::data:
        base = xdg_base("XDG_DATA_HOME", ".local/share");
        break;
    case UserFolder::pictures:
        base = pictures_base();
        break;
    }
    return base.empty() ? "" : base + "/zorbit";
}

bool folder_make(const std::string& path, std::string* why) {
    std::error_code error;
    std::filesystem::create_directories(path, error);
    if (!error && std::filesystem::is_directory(path, error)) {
        return true;
    }
    if (why != nullptr) {
        *why = error ? error.message() : "not a folder";
    }
    return false;
}

bool folder_writable(const std::string& path) {
    return !path.empty() && access(path.c_str(), W_OK | X_OK) == 0;
}

bool file_exists(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}
