#pragma once
// Key scripts for zorbit-replay: one event per line, "<tick> down|up <key>".
#include <cstdint>
#include <istream>
#include <string>
#include <vector>

#include "scripted.h"

// False with a message naming the line when the script is malformed.
bool key_script_parse(std::istream& in, std::vector<ScriptedKey>& keys, std::string& error);
