#pragma once
// Key scripts for zorbit-replay: one event per line, "<tick> down|up <key>".
#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <vector>

#include "platform/scripted.h"

// A key name (escape, space, return, f1..f12, up, down, left, right, a..z, 0..9) or a number.
std::optional<uint32_t> key_symbol_parse(const std::string& name);
// False with a message naming the line when the script is malformed.
bool key_script_parse(std::istream& in, std::vector<ScriptedKey>& keys, std::string& error);
