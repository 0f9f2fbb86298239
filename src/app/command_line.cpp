#include "app/command_line.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

enum class Takes { nothing, value, optional_value };

struct OptionRule {
    const char* name;
    Takes takes;
    const char* argument; // how the usage names the value
    const char* help;
    bool (*apply)(Options* options, const char* value); // false: the value is bad
};

bool number_parse(const char* text, int32_t* value) {
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(text, &end, 10);
    if (*text == '\0' || *end != '\0' || errno != 0 || parsed < INT32_MIN || parsed > INT32_MAX) {
        return false;
    }
    *value = static_cast<int32_t>(parsed);
    return true;
}

bool port_parse(const char* text, int32_t* port) {
    return number_parse(text, port) && *port >= 1 && *port <= 65535;
}

const OptionRule option_table[] = {
    {"--help", Takes::nothing, nullptr, "show this help and end",
     [](Options* o, const char*) {
         o->help = true;
         return true;
     }},
    {"--version", Takes::nothing, nullptr, "show the version and end",
     [](Options* o, const char*) {
         o->version = true;
         return true;
     }},
    {"--windowed", Takes::nothing, nullptr, "play in a window",
     [](Options* o, const char*) {
         o->fullscreen = 0;
         return true;
     }},
    {"--fullscreen", Takes::nothing, nullptr, "play on the full screen",
     [](Options* o, const char*) {
         o->fullscreen = 1;
         return true;
     }},
    {"--scale", Takes::value, "N", "window size: the 320 x 200 picture times N (0: the largest)",
     [](Options* o, const char* v) {
         o->scale_given = true;
         return number_parse(v, &o->scale);
     }},
    {"--config", Takes::value, "FILE", "read the settings from FILE and keep new keys there",
     [](Options* o, const char* v) {
         o->config = v;
         return !o->config.empty();
     }},
    {"--data", Takes::value, "DIR", "look for zrb.res in DIR first",
     [](Options* o, const char* v) {
         o->data = v;
         return !o->data.empty();
     }},
    {"--record", Takes::value, "FILE", "write every match of this run to FILE",
     [](Options* o, const char* v) {
         o->record = v;
         return !o->record.empty();
     }},
    {"--play", Takes::value, "FILE", "play the matches recorded in FILE; any key stops",
     [](Options* o, const char* v) {
         o->play = v;
         return !o->play.empty();
     }},
    {"--hashes", Takes::value, "FILE", "write the hash of every match frame to FILE (- stdout)",
     [](Options* o, const char* v) {
         o->hashes = v;
         return !o->hashes.empty();
     }},
    {"--host", Takes::optional_value, "[PORT]", "wait for a player to join over the network",
     [](Options* o, const char* v) {
         o->host = true;
         return v == nullptr || port_parse(v, &o->port);
     }},
    {"--join", Takes::value, "HOST[:PORT]", "join a game hosted over the network",
     [](Options* o, const char* v) {
         o->join = v;
         return !o->join.empty();
     }},
};

const OptionRule* option_find(const char* word, size_t length) {
    for (const OptionRule& rule : option_table) {
        if (std::strlen(rule.name) == length && std::strncmp(rule.name, word, length) == 0) {
            return &rule;
        }
    }
    return nullptr;
}

OptionsResult option_bad(const char* what, const char* word) {
    std::fprintf(stderr, "zorbit: %s: %s\n\n%s", what, word, options_usage());
    return OptionsResult::bad;
}

// The value of an option: after '=', or the next word; an optional one only if it is no option.
const char* option_value(const OptionRule& rule, const char* equals, int argc, char** argv,
                         int* i) {
    if (equals != nullptr) {
        return equals + 1;
    }
    const bool next = *i + 1 < argc && (rule.takes == Takes::value || argv[*i + 1][0] != '-');
    return next ? argv[++*i] : nullptr;
}

OptionsResult option_take(int argc, char** argv, int* i, Options* options) {
    const char* word = argv[*i];
    if (std::strcmp(word, "-h") == 0) {
        word = "--help";
    }
    const char* equals = std::strchr(word, '=');
    const OptionRule* rule = option_find(word, equals ? size_t(equals - word) : std::strlen(word));
    if (rule == nullptr) {
        return option_bad("unknown option", word);
    }
    if (rule->takes == Takes::nothing && equals != nullptr) {
        return option_bad("this option takes no value", word);
    }
    const char* value =
        rule->takes == Takes::nothing ? nullptr : option_value(*rule, equals, argc, argv, i);
    if (rule->takes == Takes::value && value == nullptr) {
        return option_bad("this option needs a value", word);
    }
    if (!rule->apply(options, value)) {
        return option_bad("bad value for", word);
    }
    return OptionsResult::run;
}

} // namespace

const char* options_usage() {
    static std::string text;
    if (!text.empty()) {
        return text.c_str();
    }
    text = "usage: zorbit [OPTION]...\n\nA two-player action game. Options:\n";
    for (const OptionRule& rule : option_table) {
        char line[160];
        const std::string head =
            std::string(rule.name) + (rule.argument ? std::string(" ") + rule.argument : "");
        std::snprintf(line, sizeof line, "  %-22s %s\n", head.c_str(), rule.help);
        text += line;
    }
    text += "\nThe settings live in zorbit.ini; see zorbit(6).\n";
    return text.c_str();
}

OptionsResult options_parse(int argc, char** argv, Options* options) {
    for (int i = 1; i < argc; ++i) {
        if (option_take(argc, argv, &i, options) == OptionsResult::bad) {
            return OptionsResult::bad;
        }
    }
    if (options->help) {
        std::fputs(options_usage(), stdout);
        return OptionsResult::done;
    }
    if (options->version) {
        std::printf("zorbit %s\n", ZORBIT_VERSION);
        return OptionsResult::done;
    }
    return OptionsResult::run;
}
