#include "app/hash_file.h"

#include "gfx/display.h"

#include <cstring>

namespace {

void hash_write(void* context, uint64_t hash) {
    auto* hashes = static_cast<HashFile*>(context);
    std::fprintf(hashes->file, "%llu %016llx\n", static_cast<unsigned long long>(hashes->frames++),
                 static_cast<unsigned long long>(hash));
}

} // namespace

bool hash_file_open(HashFile* hashes, const char* path) {
    hashes->own = std::strcmp(path, "-") != 0;
    hashes->file = hashes->own ? std::fopen(path, "w") : stdout;
    if (hashes->file == nullptr) {
        return false;
    }
    display_hash_sink_set(hash_write, hashes);
    return true;
}

void hash_file_close(HashFile* hashes) {
    display_hash_sink_set(nullptr, nullptr);
    if (hashes->file != nullptr) {
        hashes->own ? std::fclose(hashes->file) : std::fflush(hashes->file);
    }
    *hashes = HashFile{};
}
