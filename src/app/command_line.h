#pragma once
// The command line: one table of options; each overrides the settings file for this run only.
#include <cstdint>
#include <string>

struct Options {
    bool help = false;
    bool version = false;
    int32_t fullscreen = -1; // -1: as the settings say
    bool scale_given = false;
    int32_t scale = 0;
    std::string config; // settings file to use instead of the usual one
    std::string data;   // folder to take zrb.res from first
    std::string record; // recording to write
    std::string play;   // recording to play back
    std::string hashes; // where to write the hash of every counted frame
    bool host = false;
    int32_t port = 0; // 0: the default port
    std::string join; // HOST[:PORT]
};

enum class OptionsResult { run, done, bad };

// Parses argv into options. done after --help or --version (printed on stdout); bad after a
// line on stderr and the usage.
OptionsResult options_parse(int argc, char** argv, Options* options);
// The usage text, as --help prints it.
const char* options_usage();
