#include "tool_io.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>

#include "resources/archive.h"

bool file_read(const std::string& path, std::vector<uint8_t>* bytes) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    bytes->assign(std::istreambuf_iterator<char>(in), {});
    return !in.bad();
}

bool file_write(const std::string& path, const std::vector<uint8_t>& bytes) {
    const std::string temporary = path + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        out.close();
        if (!out) {
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

int tool_fail(const std::string& message) {
    std::fprintf(stderr, "zrbtool: %s\n", message.c_str());
    return 1;
}

bool wants_help(int argc, char** argv) {
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            return true;
        }
    }
    return false;
}

bool tool_open_archive(const std::string& path) {
    if (archive_open(path.c_str())) {
        return true;
    }
    struct stat info;
    if (stat(path.c_str(), &info) != 0) {
        tool_fail("cannot open " + path + ": " + std::strerror(errno));
    } else {
        tool_fail(path + " is not a resource archive (bad magic, or a directory that does " +
                  "not fit the file)");
    }
    return false;
}

bool tool_load_entry(int32_t index, std::span<const uint8_t>* bytes) {
    const int32_t size = archive_entry_size(index);
    const uint8_t* data = size < 0 ? nullptr : archive_load_entry(index);
    if (!data) {
        return false;
    }
    *bytes = {data, size_t(size)};
    return true;
}

bool parse_entry_index(const char* text, int32_t* index) {
    if (!*text || std::strlen(text) > 10) {
        return false;
    }
    int64_t value = 0;
    for (const char* c = text; *c; ++c) {
        if (*c < '0' || *c > '9') {
            return false;
        }
        value = value * 10 + (*c - '0');
    }
    if (value > INT32_MAX) {
        return false;
    }
    *index = int32_t(value);
    return true;
}

bool tool_read_stored(const std::string& archive_path, uint32_t offset, uint32_t length,
                      std::vector<uint8_t>* bytes) {
    std::FILE* file = std::fopen(archive_path.c_str(), "rb");
    if (!file) {
        return false;
    }
    std::error_code error;
    const auto file_size = std::filesystem::file_size(archive_path, error);
    bool ok = !error && uint64_t(offset) + length <= file_size &&
              std::fseek(file, long(offset), SEEK_SET) == 0;
    if (ok) {
        bytes->resize(length);
        ok = std::fread(bytes->data(), 1, length, file) == length;
    }
    std::fclose(file);
    return ok;
}
