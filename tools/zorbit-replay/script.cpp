#include "script.h"

#include <cctype>
#include <charconv>
#include <optional>
#include <sstream>

namespace {

struct NamedKey {
    const char* name;
    uint32_t symbol;
};

constexpr NamedKey named_keys[] = {
    {"backspace", 8}, {"tab", 9},   {"return", 13},  {"escape", 27},  {"esc", 27},
    {"space", 32},    {"up", 273},  {"down", 274},   {"right", 275},  {"left", 276},
    {"f1", 282},      {"f2", 283},  {"f3", 284},     {"f4", 285},     {"f5", 286},
    {"f6", 287},      {"f7", 288},  {"f8", 289},     {"f9", 290},     {"f10", 291},
    {"f11", 292},     {"f12", 293}, {"lshift", 304}, {"rshift", 303},
};

std::optional<uint32_t> number_parse(const std::string& text) {
    uint32_t value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc{} || ptr != end) {
        return std::nullopt;
    }
    return value;
}

// A key name (escape, space, return, f1..f12, up, down, left, right, a..z, 0..9) or a number.
std::optional<uint32_t> key_symbol_parse(const std::string& name) {
    std::string lower;
    for (char c : name) {
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    for (const NamedKey& key : named_keys) {
        if (lower == key.name) {
            return key.symbol;
        }
    }
    // A single letter or digit is that key; longer numbers are key symbols.
    if (lower.size() == 1 && std::isalnum(static_cast<unsigned char>(lower[0]))) {
        return static_cast<uint32_t>(lower[0]);
    }
    return number_parse(lower);
}

} // namespace

bool key_script_parse(std::istream& in, std::vector<ScriptedKey>& keys, std::string& error) {
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (const size_t hash = line.find('#'); hash != std::string::npos) {
            line.erase(hash);
        }
        std::istringstream words(line);
        std::string tick, action, key, extra;
        if (!(words >> tick)) {
            continue; // blank or comment
        }
        words >> action >> key;
        const std::optional<uint32_t> at = number_parse(tick);
        const std::optional<uint32_t> symbol = key.empty() ? std::nullopt : key_symbol_parse(key);
        if (!at || (action != "down" && action != "up") || !symbol || (words >> extra)) {
            error = "line " + std::to_string(number) + ": expected <tick> down|up <key>";
            return false;
        }
        keys.push_back(ScriptedKey{*at, *symbol, action == "down"});
    }
    return true;
}
