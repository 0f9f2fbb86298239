#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <random>

#include "resources/archive.h"
#include "resources/byte_order.h"
#include "support/test_archive.h"

namespace {

std::vector<uint8_t> bytes_of(std::string_view text) {
    return {text.begin(), text.end()};
}

std::vector<uint8_t> random_bytes(size_t count, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<uint8_t> bytes(count);
    for (uint8_t& byte : bytes) {
        byte = uint8_t(random());
    }
    return bytes;
}

// The directory is last in every archive the builder makes.
size_t record_at(const std::vector<uint8_t>& archive, int index) {
    const size_t count = archive[8] | archive[9] << 8;
    return archive.size() - count * 16 + size_t(index) * 16;
}

std::vector<uint8_t> loaded(int32_t index) {
    const uint8_t* data = archive_load_entry(index);
    if (!data) {
        return {};
    }
    std::vector<uint8_t> copy(data, data + archive_entry_size(index));
    archive_release_entry(index);
    return copy;
}

class Archive : public ::testing::Test {
  protected:
    void TearDown() override {
        archive_close();
        std::filesystem::remove(path);
    }
    std::string path = test_temp_path("archive-test.bin"); // for a test that needs a real file
};

// Laid out by hand: the builder must write exactly this, and the reader must take it.
TEST_F(Archive, SmallestRawArchiveOf31Bytes) {
    const std::vector<uint8_t> file = {'K', 'y', 'v', 'R', 15, 0, 0, 0, 1, 0, 0,
                                       0,   'a', 'b', 'c', 12, 0, 0, 0, 3, 0, 0,
                                       0,   3,   0,   0,   0,  0, 0, 0, 0};
    EXPECT_EQ(test_archive_bytes({test_entry(bytes_of("abc"))}), file);
    ASSERT_TRUE(test_archive_open_bytes(file));
    EXPECT_EQ(archive_entry_count(), 1);
    EXPECT_EQ(loaded(0), bytes_of("abc"));
    for (const int32_t index : {-1, 1, 2, INT32_MIN, INT32_MAX}) {
        EXPECT_EQ(archive_load_entry(index), nullptr) << index;
        EXPECT_EQ(archive_entry_size(index), -1) << index;
        EXPECT_EQ(archive_entry_record(index), nullptr) << index;
        archive_release_entry(index);
    }
}

TEST_F(Archive, EveryEntryComesBackAsStoredRawAndPacked) {
    const std::vector<std::vector<uint8_t>> contents = {bytes_of("file_id"),
                                                        {},
                                                        random_bytes(70000, 1),
                                                        std::vector<uint8_t>(100000, 0x55),
                                                        random_bytes(1, 2)};
    std::vector<TestEntry> entries;
    for (const auto& bytes : contents) {
        entries.push_back(test_entry(bytes));
    }
    for (const bool packed : {false, true}) {
        ASSERT_TRUE(test_archive_open(entries, packed));
        EXPECT_EQ(archive_is_packed(), packed);
        ASSERT_EQ(archive_entry_count(), int32_t(contents.size()));
        for (size_t i = 0; i < contents.size(); ++i) {
            EXPECT_EQ(loaded(int32_t(i)), contents[i]) << i << packed;
        }
        EXPECT_NE(archive_load_entry(1), nullptr) << "an empty entry loads as a valid buffer";
    }
}

// Held entries are freed on reopening and closing (the sanitizer build would see a leak).
TEST_F(Archive, LoadsShareOneCountedBufferAndReopeningOrClosingFreesIt) {
    ASSERT_TRUE(test_archive_open({test_entry(bytes_of("shared"))}));
    uint8_t* first = archive_load_entry(0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(archive_load_entry(0), first);
    first[0] = 'S'; // changes made by one user are seen by the next
    archive_release_entry(0);
    EXPECT_EQ(archive_load_entry(0)[0], 'S');
    archive_release_entry(0);
    archive_release_entry(0);
    archive_release_entry(0); // one more than loaded changes nothing
    EXPECT_EQ(archive_entry_record(0)->ref_count, 0);
    // Read again from the file, so the change is gone.
    EXPECT_EQ(loaded(0), bytes_of("shared"));
    ASSERT_NE(archive_load_entry(0), nullptr);
    ASSERT_TRUE(test_archive_open({test_entry(bytes_of("two")), test_entry({})}));
    EXPECT_EQ(loaded(0), bytes_of("two"));
    ASSERT_NE(archive_load_entry(1), nullptr);
    archive_close();
    archive_release_entry(0);
}

TEST_F(Archive, WhatIsNoArchiveIsRefusedAndLeavesNothingOpen) {
    const auto good = test_archive_bytes({test_entry(bytes_of("abc")), test_entry({})});
    const uint32_t directory = uint32_t(good.size() - 32);
    struct Case {
        const char* name;
        const char* magic;
        uint32_t offset, count;
    };
    for (const Case& bad :
         {Case{"magic", "KyvX", directory, 2}, Case{"offset far away", "KyvR", 0xFFFFFFF0u, 2},
          Case{"one record too many", "KyvR", directory, 3},
          Case{"negative count", "KyvR", directory, 0xFFFFFFFFu},
          Case{"huge count", "KyvR", directory, 0x7FFFFFFFu}}) {
        SCOPED_TRACE(bad.name);
        ASSERT_TRUE(test_archive_open_bytes(good));
        auto file = good;
        std::memcpy(file.data(), bad.magic, 4);
        u32_write(&file[4], bad.offset);
        u32_write(&file[8], bad.count);
        EXPECT_FALSE(test_archive_open_bytes(file));
        EXPECT_EQ(archive_entry_count(), -1);
        EXPECT_EQ(archive_load_entry(0), nullptr);
    }
    EXPECT_EQ(archive_open(test_temp_path("never-written").c_str()), 0);
    EXPECT_EQ(archive_open(std::filesystem::temp_directory_path().c_str()), 0);
    EXPECT_EQ(archive_open(nullptr), 0);
    EXPECT_FALSE(test_archive_open_bytes(bytes_of("KyvR\x0c\0\0")));
    // An empty directory is an archive.
    ASSERT_TRUE(test_archive_open_bytes({'K', 'y', 'v', 'Z', 12, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(archive_entry_count(), 0);
}

// A record whose offset, size or stored length does not fit what is stored: the entry loads as
// null and nothing is held; its neighbour still loads.
TEST_F(Archive, RecordsThatDoNotFitTheStoredBytesGiveNull) {
    const auto contents = random_bytes(300, 3);
    struct Case {
        const char* name;
        bool packed;
        size_t field;  // in the record: 0 offset, 4 size, 8 stored length
        int64_t value; // when relative, added to the file's length (offset) or the stored length
        bool relative;
        int32_t size; // what the directory then says
    };
    const Case cases[] = {
        {"offset at the end", false, 0, 0, true, 300},
        {"offset 3 before the end", true, 0, -3, true, 300},
        {"raw stored one short", false, 8, -1, true, 300},
        {"packed size one short", true, 4, 299, false, 299},
        {"packed size one more", true, 4, 301, false, 301},
        {"packed size beyond any stream", true, 4, 0x7FFFFFFF, false, 0x7FFFFFFF},
        {"packed stream cut short", true, 8, -5, true, 300},
        {"size beyond an int32", false, 4, 0x80000000, false, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto file =
            test_archive_bytes({test_entry(contents), test_entry(bytes_of("gh"))}, c.packed);
        const size_t record = record_at(file, 0);
        const int64_t base = !c.relative    ? 0
                             : c.field == 0 ? file.size()
                                            : u32_read(&file[record + 8]);
        u32_write(&file[record + c.field], uint32_t(base + c.value));
        ASSERT_TRUE(test_archive_open_bytes(file));
        EXPECT_EQ(archive_entry_size(0), c.size);
        EXPECT_EQ(archive_load_entry(0), nullptr);
        EXPECT_EQ(archive_entry_record(0)->ref_count, 0);
        EXPECT_EQ(loaded(1), bytes_of("gh"));
    }
}

// The file is cut after opening, through the middle of entry 1.
TEST_F(Archive, ShortReadGivesNull) {
    const auto file =
        test_archive_bytes({test_entry(bytes_of("head")), test_entry(random_bytes(100000, 4))});
    ASSERT_TRUE(test_write_file(path, file));
    ASSERT_EQ(archive_open(path.c_str()), 1);
    std::filesystem::resize_file(path, file.size() - 50000);
    EXPECT_EQ(loaded(0), bytes_of("head"));
    EXPECT_EQ(archive_load_entry(1), nullptr);
    EXPECT_EQ(archive_entry_record(1)->data, nullptr);
}

// Entries that name a file of their own: its size when the record has none, measured once.
class ArchiveExternal : public Archive {
  protected:
    void SetUp() override { ASSERT_TRUE(test_write_file(path, contents)); }
    std::vector<uint8_t> contents = random_bytes(1234, 5);
};

TEST_F(ArchiveExternal, UnrecordedSizeIsMeasuredOnceAndRemembered) {
    ASSERT_TRUE(test_archive_open({test_external_entry(path), test_entry(bytes_of("z"))}, true));
    EXPECT_EQ(loaded(0), contents);
    auto longer = contents;
    longer.resize(2000, 7);
    ASSERT_TRUE(test_write_file(path, longer));
    EXPECT_EQ(loaded(0), contents);
    EXPECT_EQ(loaded(1), bytes_of("z"));
}

TEST_F(ArchiveExternal, RecordedSizeIsUsedAndMustFitAUsableFile) {
    ASSERT_TRUE(test_archive_open({test_external_entry(path, 1000)}, true));
    EXPECT_EQ(loaded(0), std::vector<uint8_t>(contents.begin(), contents.begin() + 1000));
    const std::string directory = std::filesystem::temp_directory_path().string();
    ASSERT_TRUE(test_archive_open(
        {test_external_entry(path, 1235), test_external_entry(test_temp_path("missing")),
         test_external_entry(directory), test_external_entry(directory, 100)}));
    const int32_t sizes[] = {1235, -1, -1, 100};
    for (int32_t index = 0; index < 4; ++index) {
        EXPECT_EQ(archive_entry_size(index), sizes[index]) << index;
        EXPECT_EQ(archive_load_entry(index), nullptr) << index;
    }
    ASSERT_TRUE(test_write_file(path, {}));
    ASSERT_TRUE(test_archive_open({test_external_entry(path)}));
    EXPECT_EQ(archive_entry_size(0), 0);
    EXPECT_NE(archive_load_entry(0), nullptr) << "an empty file loads";
}

// The path must end with its NUL inside the stored bytes, and those inside the file.
TEST_F(ArchiveExternal, PathOutsideItsStoredBytesGivesNothing) {
    const auto good = test_archive_bytes({test_external_entry(path), test_entry(bytes_of("q"))});
    const size_t record = record_at(good, 0);
    const uint32_t stored = uint32_t(path.size() + 1);
    for (const auto& [offset, length] :
         {std::pair{12u, stored - 1}, {12u, 0u}, {uint32_t(good.size() - 2), stored}}) {
        auto file = good;
        u32_write(&file[record], offset);
        u32_write(&file[record + 8], length);
        ASSERT_TRUE(test_archive_open_bytes(file));
        EXPECT_EQ(archive_load_entry(0), nullptr) << offset << " " << length;
        EXPECT_EQ(loaded(1), bytes_of("q"));
    }
}

} // namespace
