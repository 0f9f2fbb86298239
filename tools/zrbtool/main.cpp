// zrbtool: builds and inspects the game's resource archive with the game's own reader.
#include <cstdio>
#include <cstring>

#include "verbs.h"

namespace {

constexpr const char* tool_usage =
    "usage: zrbtool VERB ARGUMENTS...\n"
    "\n"
    "Builds and inspects zrb.res, the resource archive of Zorbit.\n"
    "\n"
    "verbs:\n"
    "  pack MANIFEST OUT [--raw]   build an archive from a manifest\n"
    "  list ARCHIVE                show every entry: kind, size, stored length, picture size\n"
    "  extract ARCHIVE INDEX OUT   write one entry out (pictures as PNG, texts decoded)\n"
    "  verify ARCHIVE              check everything the game relies on\n"
    "  sheet ARCHIVE OUT.png       draw every picture on one labelled contact sheet\n"
    "\n"
    "zrbtool VERB --help describes a verb. Every failure exits with status 1.\n";

struct Verb {
    const char* name;
    int (*run)(int, char**);
    const char* const* usage;
};

constexpr Verb verbs[] = {
    {"pack", pack_command, &pack_usage},          {"list", list_command, &list_usage},
    {"extract", extract_command, &extract_usage}, {"verify", verify_command, &verify_usage},
    {"sheet", sheet_command, &sheet_usage},
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs(tool_usage, stderr);
        return 1;
    }
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0 ||
        std::strcmp(argv[1], "help") == 0) {
        std::fputs(tool_usage, stdout);
        return 0;
    }
    for (const Verb& verb : verbs) {
        if (std::strcmp(argv[1], verb.name) == 0) {
            return verb.run(argc - 2, argv + 2);
        }
    }
    std::fprintf(stderr, "zrbtool: unknown verb \"%s\"\n\n%s", argv[1], tool_usage);
    return 1;
}
