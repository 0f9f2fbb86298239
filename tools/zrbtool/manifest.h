#pragma once
// The manifest zrbtool packs from: one "<index> <kind> <path>" line per entry.
#include <string>
#include <vector>

#include "resources/archive_writer.h"

struct ManifestLine {
    int index;
    EntryTag tag;
    bool external;
    // As written; contents are read relative to the manifest's folder.
    std::string path;
    int line_number;
};

// Every index from 0 to the largest must appear exactly once; lines come back in index order.
// On failure *error names the line and the problem.
bool manifest_parse(const std::string& text, std::vector<ManifestLine>* lines, std::string* error);
