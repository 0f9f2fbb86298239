#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "manifest.h"
#include "png_io.h"
#include "resources/archive_writer.h"
#include "resources/entry_format.h"
#include "tool_io.h"
#include "verbs.h"

const char* const pack_usage =
    "usage: zrbtool pack MANIFEST OUT [--raw]\n"
    "\n"
    "Builds the archive OUT from MANIFEST, one entry per line:\n"
    "  <index> <kind> <path>\n"
    "kinds: text (stored scrambled, as the game expects), module, pcm, raw (bytes as they\n"
    "are), image (a PNG file, stored as 15-bit pixels; alpha below half becomes black),\n"
    "external (the archive stores only the path; the game opens it from its working\n"
    "folder). Paths are relative to the manifest's folder. Blank lines and lines starting\n"
    "with # are ignored. Every index from 0 to the largest must be given once.\n"
    "Entries are packed with zlib (level 9) unless --raw is given.\n";

namespace {

std::filesystem::path source_path(const std::filesystem::path& folder, const std::string& path) {
    const std::filesystem::path given(path);
    return given.is_absolute() ? given : folder / given;
}

bool read_source(const ManifestLine& line, const std::filesystem::path& folder,
                 ArchiveSource* source, std::string* error) {
    source->tag = line.tag;
    source->external = line.external;
    if (line.external) {
        source->external_path = line.path;
        return true;
    }
    const std::string path = source_path(folder, line.path).string();
    if (line.tag == EntryTag::image) {
        Rgb555Picture picture;
        if (!png_read_rgb555(path, &picture, error)) {
            return false;
        }
        source->contents = image_entry_encode(picture.width, picture.height, picture.pixels);
        return true;
    }
    if (!file_read(path, &source->contents)) {
        *error = "cannot read " + path;
        return false;
    }
    if (line.tag == EntryTag::text) {
        source->contents = text_encode(source->contents);
    }
    return true;
}

} // namespace

int pack_command(int argc, char** argv) {
    if (wants_help(argc, argv)) {
        std::fputs(pack_usage, stdout);
        return 0;
    }
    std::vector<std::string> positional;
    bool raw = false;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--raw") == 0) {
            raw = true;
        } else {
            positional.push_back(argv[i]);
        }
    }
    if (positional.size() != 2) {
        return tool_fail(std::string("pack needs MANIFEST and OUT\n\n") + pack_usage);
    }
    const std::string& manifest_path = positional[0];
    std::vector<uint8_t> manifest_bytes;
    if (!file_read(manifest_path, &manifest_bytes)) {
        return tool_fail("cannot read the manifest " + manifest_path);
    }
    std::vector<ManifestLine> lines;
    std::string error;
    if (!manifest_parse(std::string(manifest_bytes.begin(), manifest_bytes.end()), &lines,
                        &error)) {
        return tool_fail(manifest_path + ": " + error);
    }
    const auto folder = std::filesystem::path(manifest_path).parent_path();
    std::vector<ArchiveSource> sources(lines.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        if (!read_source(lines[i], folder, &sources[i], &error)) {
            return tool_fail(manifest_path + " line " + std::to_string(lines[i].line_number) +
                             " (entry " + std::to_string(lines[i].index) + "): " + error);
        }
    }
    std::vector<uint8_t> archive;
    if (!archive_build(sources, !raw, &archive)) {
        return tool_fail("cannot build the archive (zlib failed or it is over 4 GiB)");
    }
    if (!file_write(positional[1], archive)) {
        return tool_fail("cannot write " + positional[1]);
    }
    std::printf("zrbtool: packed %zu entries into %s (%zu bytes, %s)\n", sources.size(),
                positional[1].c_str(), archive.size(), raw ? "raw" : "packed");
    return 0;
}
