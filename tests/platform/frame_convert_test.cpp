#include "platform/frame_convert.h"
#include "support/scripted_support.h"

#include <gtest/gtest.h>

namespace {

struct Sample {
    uint16_t pixel;
    uint32_t expected;
};

// Converts one frame whose first pixels are the samples and checks every surface byte.
void samples_check(const FrameConverter& converter, const std::vector<Sample>& samples) {
    const int bytes = converter.bytes_per_pixel;
    std::vector<uint16_t> frame(320 * 200, 0);
    for (size_t i = 0; i < samples.size(); i++) {
        frame[i] = samples[i].pixel;
    }
    const int pitch = 320 * bytes + 8; // rows with padding, as surfaces may have
    std::vector<uint8_t> surface(static_cast<size_t>(pitch) * 200, 0xEE);
    frame_convert(converter, frame.data(), 320, 200, surface.data(), pitch);
    for (size_t i = 0; i < samples.size(); i++) {
        uint32_t value = 0;
        for (int b = bytes - 1; b >= 0; b--) {
            value = value << 8 | surface[i * bytes + static_cast<size_t>(b)];
        }
        EXPECT_EQ(value, samples[i].expected) << "sample " << i << " at " << bytes << " bytes";
    }
    // Padding between rows stays untouched.
    EXPECT_EQ(surface[320 * static_cast<size_t>(bytes)], 0xEE);
    EXPECT_EQ(surface[static_cast<size_t>(pitch) * 200 - 1], 0xEE);
}

// The same for a true-colour surface of these masks; returns the layout chosen.
FrameLayout masks_check(uint32_t red, uint32_t green, uint32_t blue, uint32_t alpha, int bytes,
                        const std::vector<Sample>& samples) {
    FrameConverter converter;
    frame_converter_build(&converter, red, green, blue, alpha, bytes);
    samples_check(converter, samples);
    return converter.layout;
}

TEST(FrameConvert, TrueColourSurfacesGetExactPixels) {
    EXPECT_EQ(masks_check(0xFF0000, 0x00FF00, 0x0000FF, 0, 4,
                          {{0x7FFF, 0xFFFFFF},
                           {rgb555(1, 16, 3), 0x088418},
                           // The unused top bit changes nothing.
                           {0x8000 | rgb555(1, 16, 3), 0x088418}}),
              FrameLayout::xrgb8888);
    EXPECT_EQ(
        masks_check(
            0xF800, 0x07E0, 0x001F, 0, 2,
            {{0x7FFF, 0xFFFF}, {rgb555(0, 16, 0), 33u << 5}, {rgb555(5, 0, 9), (5u << 11) | 9u}}),
        FrameLayout::rgb565);
    // An alpha channel is kept opaque.
    EXPECT_EQ(masks_check(0xFF0000, 0x00FF00, 0x0000FF, 0xFF000000, 4,
                          {{0x0000, 0xFF000000}, {rgb555(31, 0, 0), 0xFFFF0000}}),
              FrameLayout::xrgb8888);
    EXPECT_EQ(masks_check(0xFF0000, 0x00FF00, 0x0000FF, 0, 3,
                          {{0x7FFF, 0xFFFFFF}, {rgb555(0, 0, 31), 0x0000FF}}),
              FrameLayout::table);
    // An RGB555 surface is copied as drawn.
    EXPECT_EQ(masks_check(0x7C00, 0x03E0, 0x001F, 0, 2, {{0x1234, 0x1234}, {0x7FFF, 0x7FFF}}),
              FrameLayout::identity);
}

// Every 16-bit value, laid out as two frames, through the computed rows and through the table.
// Narrow surfaces leave a tail that the wide code does not cover; a smaller surface takes the top
// left only.
void computed_matches_table(const FrameConverter& converter) {
    for (int width : {320, 13, 7}) {
        const int pitch = width * converter.bytes_per_pixel;
        const int height = width == 320 ? 200 : 5;
        std::vector<uint16_t> frame(320 * 200);
        for (size_t part = 0; part < 2; part++) {
            for (size_t i = 0; i < frame.size(); i++) {
                frame[i] = static_cast<uint16_t>(part * frame.size() + i);
            }
            std::vector<uint8_t> computed(static_cast<size_t>(pitch) * height);
            std::vector<uint8_t> looked_up(computed.size());
            frame_convert(converter, frame.data(), width, height, computed.data(), pitch);
            frame_convert_by_table(converter, frame.data(), width, height, looked_up.data(), pitch);
            ASSERT_EQ(computed, looked_up) << "width " << width << ", part " << part;
        }
    }
}

TEST(FrameConvert, ComputedRowsEqualTheTableForEveryValue) {
    FrameConverter converter;
    frame_converter_build(&converter, 0xF800, 0x07E0, 0x001F, 0, 2);
    computed_matches_table(converter);
    for (uint32_t alpha : {0u, 0xFF000000u}) {
        frame_converter_build(&converter, 0xFF0000, 0x00FF00, 0x0000FF, alpha, 4);
        for (const FrameRowVariant& variant : frame_xrgb8888_variants()) {
            SCOPED_TRACE(variant.name);
            converter.row_xrgb8888 = variant.row;
            computed_matches_table(converter);
        }
    }
}

TEST(FrameConvert, PaletteSurfaceUsesTheMapper) {
    FrameConverter converter;
    frame_converter_build_from(
        &converter, 1,
        [](void*, uint8_t r, uint8_t g, uint8_t b) -> uint32_t {
            return (r > 127 ? 4u : 0u) | (g > 127 ? 2u : 0u) | (b > 127 ? 1u : 0u);
        },
        nullptr);
    samples_check(converter,
                  {{rgb555(31, 0, 0), 4}, {rgb555(0, 31, 31), 3}, {0x8000 | rgb555(31, 0, 0), 4}});
}

} // namespace
