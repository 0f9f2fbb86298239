#pragma once
// Kinds of archive entries as the tool names them, and what the game expects at each index.
#include <cstdint>
#include <string>

#include "resources/archive.h"
#include "resources/archive_writer.h"

// text, module, pcm, image, raw; the manifest's "external" is a storage form, not a kind.
const char* entry_kind_name(EntryTag tag);
// False for an unknown name. "external" gives EntryTag::none with *external set.
bool entry_kind_parse(const std::string& name, EntryTag* tag, bool* external);
// The role the game gives an index: 0-1 text, 2 module, 3-5 pcm, 7-30 image, else raw.
EntryTag entry_role(int32_t index);
// The tag the tool recorded when it packed the entry, else the role of its index.
EntryTag entry_kind_of(int32_t index, const ArchiveEntry& record);
