#include <gtest/gtest.h>

#include "resources/byte_order.h"
#include "resources/entry_format.h"
#include "support/test_archive.h"

namespace {

uint32_t u32_at(const std::vector<uint8_t>& bytes, size_t at) {
    return u32_read(&bytes[at]);
}

// The fields the loader reads, where the game's files have them: the header's offset at 0x20;
// in the header the size at 0x10, the flag at 0x1C, the masks from 0x20; the pixels at 0x40.
TEST(ImageEntry, EncodedLayoutIsTheOneTheLoaderReads) {
    const auto entry = test_image_entry(3, 2, {0x7FFF, 0x0001, 0x7C00, 0x03E0, 0x001F, 0x1234});
    const uint32_t h = u32_at(entry, 0x20);
    ASSERT_EQ(entry.size(), h + 0x40 + 12);
    EXPECT_EQ(u32_at(entry, h + 0x10), 0x00020003u);
    EXPECT_EQ(entry[h + 0x1C], 2);
    EXPECT_EQ(u32_at(entry, h + 0x20), 0x7C00u);
    EXPECT_EQ(u32_at(entry, h + 0x24), 0x03E0u);
    EXPECT_EQ(u32_at(entry, h + 0x28), 0x001Fu);
    EXPECT_EQ(u32_at(entry, h + 0x40 + 8), 0x1234001Fu);
    ImageEntryHeader header{};
    ASSERT_TRUE(image_entry_read_header(entry, &header));
    EXPECT_EQ(image_entry_pixel(entry, header, 2, 1), 0x1234);
    EXPECT_EQ(image_entry_pixel(entry, header, 1, 0), 0x0001);
    // The header may lie anywhere the entry holds it: 8 bytes of padding before it.
    auto moved = test_image_entry(2, 1, {0x1111, 0x2222}, 0, 0, 0, 0);
    moved.insert(moved.begin() + 0x40, 8, 0xEE);
    moved[0x20] = 0x48;
    ASSERT_TRUE(image_entry_read_header(moved, &header));
    EXPECT_EQ(header.flags, 0);
    EXPECT_EQ(image_entry_pixel(moved, header, 1, 0), 0x2222);
}

TEST(ImageEntry, MalformedEntriesAreRecognised) {
    const auto good = test_image_entry(4, 4, std::vector<uint16_t>(16, 1));
    ImageEntryHeader header{};
    ASSERT_TRUE(image_entry_read_header(good, &header));
    EXPECT_FALSE(image_entry_read_header(std::span(good).first(0x23), &header)) << "no pointer";
    auto near_end = good;
    near_end[0x20] = uint8_t(good.size() - 0x3F);
    near_end[0x21] = 0;
    EXPECT_FALSE(image_entry_read_header(near_end, &header)) << "header past the end";
    auto zero_mask = good;
    zero_mask[0x40 + 0x24] = zero_mask[0x40 + 0x25] = 0;
    EXPECT_FALSE(image_entry_read_header(zero_mask, &header)) << "masked without green";
    zero_mask[0x40 + 0x1C] = 0;
    EXPECT_TRUE(image_entry_read_header(zero_mask, &header)) << "masks unused without the flag";
    auto huge = good;
    huge[0x40 + 0x10] = huge[0x40 + 0x11] = huge[0x40 + 0x12] = huge[0x40 + 0x13] = 0xFF;
    EXPECT_FALSE(image_entry_read_header(huge, &header)) << "65535 x 65535";
}

} // namespace
