#pragma once
// Where things live on this machine: the executable's folder and the user's folders as the XDG
// base directory rules place them, each with a zorbit folder inside.
#include <string>

// The folder holding the running program; empty when the system does not say.
std::string executable_folder();

enum class UserFolder { config, data, pictures };
// $XDG_CONFIG_HOME/zorbit (~/.config/zorbit), $XDG_DATA_HOME/zorbit (~/.local/share/zorbit),
// $XDG_PICTURES_DIR/zorbit (or the user-dirs.dirs entry, or ~/Pictures/zorbit). Empty when
// neither the variable nor HOME is set.
std::string user_folder(UserFolder which);

// Makes the folder and its parents; false with the reason when it cannot.
bool folder_make(const std::string& path, std::string* why);
bool folder_writable(const std::string& path);
bool file_exists(const std::string& path);
