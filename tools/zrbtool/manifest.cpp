#include "manifest.h"

#include <algorithm>
#include <sstream>

#include "entry_kinds.h"

namespace {

constexpr int max_entries = 65536;

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return "";
    }
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

bool parse_index(const std::string& word, int* index) {
    if (word.empty() || word.size() > 5 ||
        !std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return false;
    }
    *index = std::stoi(word);
    return *index < max_entries;
}

bool parse_line(const std::string& line, int number, ManifestLine* out, std::string* error) {
    std::istringstream words(line);
    std::string index_word, kind_word;
    words >> index_word >> kind_word;
    std::string rest;
    std::getline(words, rest);
    out->path = trimmed(rest);
    out->line_number = number;
    const std::string where = "line " + std::to_string(number) + ": ";
    if (!parse_index(index_word, &out->index)) {
        *error = where + "\"" + index_word + "\" is not an entry index (0 to 65535)";
        return false;
    }
    if (!entry_kind_parse(kind_word, &out->tag, &out->external)) {
        *error = where + "unknown kind \"" + kind_word +
                 "\" (text, module, pcm, image, raw or external)";
        return false;
    }
    if (out->path.empty()) {
        *error = where + "no path after the kind";
        return false;
    }
    return true;
}

} // namespace

bool manifest_parse(const std::string& text, std::vector<ManifestLine>* lines, std::string* error) {
    lines->clear();
    std::istringstream in(text);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const std::string content = trimmed(line);
        if (content.empty() || content[0] == '#') {
            continue;
        }
        ManifestLine parsed;
        if (!parse_line(content, number, &parsed, error)) {
            return false;
        }
        lines->push_back(parsed);
    }
    if (lines->empty()) {
        *error = "the manifest names no entries";
        return false;
    }
    std::stable_sort(
        lines->begin(), lines->end(),
        [](const ManifestLine& a, const ManifestLine& b) { return a.index < b.index; });
    for (size_t i = 0; i < lines->size(); ++i) {
        const ManifestLine& entry = (*lines)[i];
        if (i > 0 && entry.index == (*lines)[i - 1].index) {
            *error = "line " + std::to_string(entry.line_number) + ": entry " +
                     std::to_string(entry.index) + " is already given on line " +
                     std::to_string((*lines)[i - 1].line_number);
            return false;
        }
        if (entry.index != int(i)) {
            *error = "entry " + std::to_string(i) + " is missing (entries 0 to " +
                     std::to_string(lines->back().index) + " must all be given)";
            return false;
        }
    }
    return true;
}
