#include "app/game_files.h"

#include "platform/paths.h"
#include "platform/system.h"

#include <filesystem>
#include <system_error>
#include <vector>

namespace {

constexpr const char* archive_name = "zrb.res";
constexpr const char* settings_name = "zorbit.ini";

std::vector<std::string> data_folders(const std::string& here, const std::string& data_option) {
    std::vector<std::string> folders;
    if (!data_option.empty()) {
        folders.push_back(data_option);
    }
    if (!here.empty()) {
        folders.push_back(here);
        folders.push_back(here + "/../share/zorbit");
    }
    folders.push_back(ZORBIT_DATA_DIR);
    return folders;
}

// The user's settings, made from the shipped default the first time; the default itself when
// the user's folder cannot be made, so the game still starts with its usual settings.
std::string user_settings(const std::string& data_folder) {
    const std::string shipped = data_folder + "/" + settings_name;
    const std::string folder = user_folder(UserFolder::config);
    std::string why = "HOME is not set";
    if (!folder.empty() && folder_make(folder, &why)) {
        const std::string mine = folder + "/" + settings_name;
        std::error_code error;
        if (file_exists(mine) || std::filesystem::copy_file(shipped, mine, error)) {
            return mine;
        }
        why = error.message();
    }
    warning("cannot keep settings in %s (%s); using %s", folder.c_str(), why.c_str(),
            shipped.c_str());
    return shipped;
}

std::string user_text_folder() {
    const std::string folder = user_folder(UserFolder::data);
    std::string why = "HOME is not set";
    if (!folder.empty() && folder_make(folder, &why)) {
        return folder;
    }
    warning("cannot write readme and file_id.diz to %s (%s)", folder.c_str(), why.c_str());
    return "";
}

} // namespace

std::string game_files_searched(const std::string& here, const std::string& data_option) {
    std::string list;
    for (const std::string& folder : data_folders(here, data_option)) {
        list += (list.empty() ? "" : ", ") + folder;
    }
    return list;
}

bool game_files_find(const std::string& here, const std::string& data_option,
                     const std::string& config_option, GameFiles* files) {
    std::string data_folder;
    for (const std::string& folder : data_folders(here, data_option)) {
        if (file_exists(folder + "/" + archive_name)) {
            data_folder = folder;
            break;
        }
    }
    if (data_folder.empty()) {
        return false;
    }
    files->archive_path = data_folder + "/" + archive_name;
    const bool portable = file_exists(here + "/" + settings_name) && folder_writable(here);
    if (!config_option.empty()) {
        files->settings_path = config_option;
    } else if (portable) {
        files->settings_path = here + "/" + settings_name;
    } else {
        files->settings_path = user_settings(data_folder);
    }
    files->text_folder = portable ? here : user_text_folder();
    return true;
}
