#include "entry_kinds.h"

const char* entry_kind_name(EntryTag tag) {
    switch (tag) {
    case EntryTag::text:
        return "text";
    case EntryTag::module:
        return "module";
    case EntryTag::pcm:
        return "pcm";
    case EntryTag::image:
        return "image";
    default:
        return "raw";
    }
}

bool entry_kind_parse(const std::string& name, EntryTag* tag, bool* external) {
    *external = name == "external";
    if (*external) {
        *tag = EntryTag::none;
        return true;
    }
    for (const EntryTag known :
         {EntryTag::text, EntryTag::module, EntryTag::pcm, EntryTag::image, EntryTag::raw}) {
        if (name == entry_kind_name(known)) {
            *tag = known;
            return true;
        }
    }
    return false;
}

EntryTag entry_role(int32_t index) {
    if (index == 0 || index == 1) {
        return EntryTag::text;
    }
    if (index == 2) {
        return EntryTag::module;
    }
    if (index >= 3 && index <= 5) {
        return EntryTag::pcm;
    }
    if (index >= 7 && index <= 30) {
        return EntryTag::image;
    }
    return EntryTag::raw;
}

EntryTag entry_kind_of(int32_t index, const ArchiveEntry& record) {
    const auto tag = EntryTag(record.kind[0]);
    if (tag >= EntryTag::text && tag <= EntryTag::raw) {
        return tag;
    }
    return entry_role(index);
}
