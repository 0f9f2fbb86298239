#pragma once
// Where this run finds its data and keeps the player's files.
#include <string>

struct GameFiles {
    std::string archive_path;  // zrb.res
    std::string settings_path; // the zorbit.ini read at start and appended to by the key screen
    std::string text_folder;   // where readme and file_id.diz are written; empty: nowhere
};

// The archive from --data DIR, the executable's folder, ../share/zorbit beside it, or the
// installed data folder, in that order; false when none holds zrb.res. The settings: --config
// FILE; a writable zorbit.ini beside the executable (the portable game); otherwise the user's
// own, made from the shipped default on the first start. What cannot be made is said on
// stderr, and the game plays on.
// `here` is the executable's folder.
bool game_files_find(const std::string& here, const std::string& data_option,
                     const std::string& config_option, GameFiles* files);
// The folders game_files_find looked in for zrb.res, for the message when it found none.
std::string game_files_searched(const std::string& here, const std::string& data_option);
