#include "gfx/bitmap.h"
#include "gfx/image.h"
#include "resources/archive.h"
#include "resources/byte_order.h"
#include "support/scripted_support.h"
#include "support/test_archive.h"

#include <gtest/gtest.h>

namespace {

class Images : public ::testing::Test {
  protected:
    void TearDown() override { archive_close(); }
    // An archive whose entry 3 is the given entry.
    void archive_with(std::vector<uint8_t> entry) {
        std::vector<TestEntry> entries(5, test_entry({1, 2, 3}));
        entries[3] = test_entry(std::move(entry));
        ASSERT_TRUE(test_archive_open(entries));
    }
    int32_t holders(int32_t index) { return archive_entry_record(index)->ref_count; }
};

const std::vector<uint16_t> samples = {0xFFFF, 0x07E0, 0x0020, 0xF800, 0x001F, 0x1234};

TEST_F(Images, PixelsAreConvertedInPlaceOrLeftAsStored) {
    const std::pair<std::vector<uint8_t>, std::vector<uint16_t>> cases[] = {
        // Flag clear, even with zero masks, or masks that are the display's own: untouched.
        {test_image_entry(3, 2, samples, 0, 0, 0, 0), samples},
        {test_image_entry(3, 2, samples), samples},
        // 0x1234 is red 2, green 17, blue 20 in 5-6-5: green 8 in 5-5-5.
        {test_image_entry(6, 1, samples, 2, 0xF800, 0x07E0, 0x001F),
         {0x7FFF, 0x03E0, 0x0000, 0x7C00, 0x001F, rgb555(2, 8, 20)}},
        // Blue high, red low, a 4-bit green: channels move unscaled, only green widens.
        {test_image_entry(2, 1, {0x7C00 | (0xF << 5) | 3, 0}, 2, 0x001F, 0x01E0, 0x7C00),
         {rgb555(3, 30, 31), 0}},
    };
    for (const auto& [entry, expected] : cases) {
        archive_with(entry);
        Bitmap* image = image_load(3);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(std::vector(image->pixels, image->pixels + image->width * image->height),
                  expected);
        // The pixels are the archive's own copy of the entry, borrowed.
        EXPECT_EQ(image->capacity, 0u);
        EXPECT_EQ(reinterpret_cast<uint8_t*>(image->pixels), archive_entry_record(3)->data + 0x80);
        EXPECT_EQ(holders(3), 1);
        image_release(image, 3);
        EXPECT_EQ(holders(3), 0);
        archive_close();
    }
}

// Missing entries give null; damaged ones are refused whole and handed back to the archive (the
// header checks themselves are the entry format's tests).
TEST_F(Images, MissingAndDamagedEntriesGiveNull) {
    EXPECT_EQ(image_load(0), nullptr); // no archive open
    const auto good = test_image_entry(4, 4, std::vector<uint16_t>(16, 0x1111));
    auto short_pixels = good;
    short_pixels.resize(good.size() - 1);
    auto odd_pixels = good; // pixels starting on an odd byte
    odd_pixels.insert(odd_pixels.begin() + 0x40, 0);
    u32_write(&odd_pixels[0x20], 0x41);
    archive_with(good);
    image_release(nullptr, 3); // nothing to release
    for (const auto& entry : {short_pixels, odd_pixels}) {
        archive_with(entry);
        EXPECT_EQ(image_load(3), nullptr);
        EXPECT_EQ(holders(3), 0);
    }
}

} // namespace
