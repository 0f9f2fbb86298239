#include <gtest/gtest.h>

#include <filesystem>

#include "resources/archive.h"
#include "resources/text_extract.h"
#include "support/test_archive.h"

namespace {

class TextExtract : public ::testing::Test {
  protected:
    void TearDown() override {
        archive_close();
        std::filesystem::remove(out);
    }
    std::string out = test_temp_path("readme");
};

TEST_F(TextExtract, KeyStartsAtZeroAndStepsByThreeWithWrap) {
    std::vector<uint8_t> stored(90, 0x41);
    stored[0] = 0x00;  // k = 0: written as 0x00 - 3
    stored[1] = 0x10;  // k = 3: ((0x10 + 3) ^ 3) - 3
    stored[85] = 0xFF; // k = 255: ((0xFF + 0xFF) & 0xFF ^ 0xFF) - 3
    stored[86] = 0x41; // k = 258 mod 256 = 2: ((0x41 + 2) ^ 2) - 3
    ASSERT_TRUE(test_archive_open({test_entry(stored)}, true));
    archive_extract_text(0, out.c_str());
    const auto text = test_read_file(out);
    ASSERT_EQ(text.size(), 90u);
    EXPECT_EQ(text[0], 0xFD);
    EXPECT_EQ(text[1], 0x0D);
    EXPECT_EQ(text[85], 0xFE);
    EXPECT_EQ(text[86], 0x3E);
    EXPECT_EQ(archive_entry_record(0)->data, nullptr); // released again
}

// Nothing to extract or nowhere to write: the old file stays. A held entry stays held.
TEST_F(TextExtract, ReplacesTheFileOnlyWithWhatItCouldRead) {
    const std::vector<uint8_t> old(50, 'x');
    ASSERT_TRUE(test_write_file(out, old));
    ASSERT_TRUE(test_archive_open({test_external_entry(test_temp_path("gone")),
                                   test_entry(test_text_entry("abc")), test_entry({})}));
    archive_extract_text(0, out.c_str());
    const std::string nowhere = test_temp_path("no-such-folder") + "/readme";
    archive_extract_text(1, nowhere.c_str());
    EXPECT_FALSE(std::filesystem::exists(nowhere));
    EXPECT_EQ(archive_entry_record(1)->data, nullptr);
    EXPECT_EQ(test_read_file(out), old);
    const uint8_t* held = archive_load_entry(1);
    archive_extract_text(1, out.c_str());
    EXPECT_EQ(archive_entry_record(1)->data, held);
    EXPECT_EQ(archive_entry_record(1)->ref_count, 1);
    EXPECT_EQ(test_read_file(out), (std::vector<uint8_t>{'a', 'b', 'c'}));
    archive_extract_text(2, out.c_str());
    EXPECT_EQ(std::filesystem::file_size(out), 0u) << "an empty entry gives an empty file";
}

} // namespace
