#include "platform/frame_convert.h"

#include "platform/frame.h"

#include <bit>
#include <cstddef>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {

// Spreads a 5-bit channel value over a mask of any width: the 8-bit value cut to narrow masks,
// a rounded scaling for wider ones.
uint32_t channel_place(uint32_t value5, uint32_t mask) {
    if (mask == 0) {
        return 0;
    }
    int shift = std::countr_zero(mask);
    uint32_t maximum = mask >> shift;
    int width = std::popcount(maximum);
    uint64_t scaled = width <= 8 ? channel_5_to_8(value5) >> (8 - width)
                                 : (static_cast<uint64_t>(value5) * maximum + 15) / 31;
    return static_cast<uint32_t>(scaled << shift) & mask;
}

void converter_reset(FrameConverter* converter, int bytes_per_pixel) {
    *converter = FrameConverter{};
    converter->bytes_per_pixel = bytes_per_pixel;
    if (bytes_per_pixel <= 2) {
        converter->table16.resize(frame_table_size);
    } else {
        converter->table32.resize(frame_table_size);
    }
}

void converter_set(FrameConverter* converter, uint32_t index, uint32_t value) {
    if (converter->bytes_per_pixel <= 2) {
        converter->table16[index] = static_cast<uint16_t>(value);
    } else {
        converter->table32[index] = value;
    }
}

void row_convert_16(const uint16_t* table, const uint16_t* source, int width, uint8_t* row) {
    auto* target = reinterpret_cast<uint16_t*>(row);
    for (int x = 0; x < width; x++) {
        target[x] = table[source[x]];
    }
}

void row_convert_32(const uint32_t* table, const uint16_t* source, int width, uint8_t* row) {
    auto* target = reinterpret_cast<uint32_t*>(row);
    for (int x = 0; x < width; x++) {
        target[x] = table[source[x]];
    }
}

void row_convert_24(const uint32_t* table, const uint16_t* source, int width, uint8_t* row) {
    for (int x = 0; x < width; x++) {
        uint32_t value = table[source[x]];
        row[3 * x] = static_cast<uint8_t>(value);
        row[3 * x + 1] = static_cast<uint8_t>(value >> 8);
        row[3 * x + 2] = static_cast<uint8_t>(value >> 16);
    }
}

void row_convert_8(const uint16_t* table, const uint16_t* source, int width, uint8_t* row) {
    for (int x = 0; x < width; x++) {
        row[x] = static_cast<uint8_t>(table[source[x]]);
    }
}

// Each channel moved to the top of its byte, then its top bits repeated below.
uint32_t pixel_xrgb8888(uint32_t pixel) {
    uint32_t value = ((pixel & rgb555_red_mask) << 9) | ((pixel & rgb555_green_mask) << 6) |
                     ((pixel & rgb555_blue_mask) << 3);
    return value | ((value >> 5) & 0x070707);
}

void row_xrgb8888_plain(const uint16_t* source, uint32_t* target, int width, uint32_t alpha) {
    for (int x = 0; x < width; x++) {
        target[x] = pixel_xrgb8888(source[x]) | alpha;
    }
}

uint16_t pixel_rgb565(uint32_t pixel) {
    // Green gains a low bit: its top bit repeated.
    return static_cast<uint16_t>(((pixel & 0x7FE0) << 1) | (pixel & 0x001F) |
                                 ((pixel >> 4) & 0x0020));
}

void row_convert_565(const uint16_t* source, int width, uint8_t* row) {
    auto* target = reinterpret_cast<uint16_t*>(row);
    int x = 0;
#if defined(__x86_64__)
    const __m128i red_green = _mm_set1_epi16(0x7FE0);
    const __m128i blue = _mm_set1_epi16(rgb555_blue_mask);
    const __m128i green_low = _mm_set1_epi16(0x0020);
    for (; x + 8 <= width; x += 8) {
        __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + x));
        __m128i value =
            _mm_or_si128(_mm_slli_epi16(_mm_and_si128(p, red_green), 1), _mm_and_si128(p, blue));
        value = _mm_or_si128(value, _mm_and_si128(_mm_srli_epi16(p, 4), green_low));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(target + x), value);
    }
#endif
    for (; x < width; x++) {
        target[x] = pixel_rgb565(source[x]);
    }
}

#if defined(__x86_64__)
// The 32-bit surface is the one nearly every desktop gives; these keep its conversion near the
// cost of copying the bytes. Same arithmetic as pixel_xrgb8888, four or eight pixels at once.
void row_xrgb8888_sse2(const uint16_t* source, uint32_t* target, int width, uint32_t alpha) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i red = _mm_set1_epi32(rgb555_red_mask);
    const __m128i green = _mm_set1_epi32(rgb555_green_mask);
    const __m128i blue = _mm_set1_epi32(rgb555_blue_mask);
    const __m128i low = _mm_set1_epi32(0x070707);
    const __m128i opaque = _mm_set1_epi32(static_cast<int>(alpha));
    int x = 0;
    for (; x + 8 <= width; x += 8) {
        __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + x));
        for (int half = 0; half < 2; half++) {
            __m128i p =
                half == 0 ? _mm_unpacklo_epi16(pixels, zero) : _mm_unpackhi_epi16(pixels, zero);
            __m128i value = _mm_or_si128(_mm_or_si128(_mm_slli_epi32(_mm_and_si128(p, red), 9),
                                                      _mm_slli_epi32(_mm_and_si128(p, green), 6)),
                                         _mm_slli_epi32(_mm_and_si128(p, blue), 3));
            value = _mm_or_si128(value, _mm_and_si128(_mm_srli_epi32(value, 5), low));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(target + x + 4 * half),
                             _mm_or_si128(value, opaque));
        }
    }
    row_xrgb8888_plain(source + x, target + x, width - x, alpha);
}

__attribute__((target("avx2"))) void row_xrgb8888_avx2(const uint16_t* source, uint32_t* target,
                                                       int width, uint32_t alpha) {
    const __m256i red = _mm256_set1_epi32(rgb555_red_mask);
    const __m256i green = _mm256_set1_epi32(rgb555_green_mask);
    const __m256i blue = _mm256_set1_epi32(rgb555_blue_mask);
    const __m256i low = _mm256_set1_epi32(0x070707);
    const __m256i opaque = _mm256_set1_epi32(static_cast<int>(alpha));
    int x = 0;
    for (; x + 8 <= width; x += 8) {
        __m256i p =
            _mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(source + x)));
        __m256i value =
            _mm256_or_si256(_mm256_or_si256(_mm256_slli_epi32(_mm256_and_si256(p, red), 9),
                                            _mm256_slli_epi32(_mm256_and_si256(p, green), 6)),
                            _mm256_slli_epi32(_mm256_and_si256(p, blue), 3));
        value = _mm256_or_si256(value, _mm256_and_si256(_mm256_srli_epi32(value, 5), low));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(target + x), _mm256_or_si256(value, opaque));
    }
    // Leaving wide registers dirty slows every later SSE instruction down.
    _mm256_zeroupper();
    row_xrgb8888_plain(source + x, target + x, width - x, alpha);
}
#endif

} // namespace

std::vector<FrameRowVariant> frame_xrgb8888_variants() {
    std::vector<FrameRowVariant> variants = {{"plain", row_xrgb8888_plain}};
#if defined(__x86_64__)
    variants.push_back({"sse2", row_xrgb8888_sse2});
    if (__builtin_cpu_supports("avx2")) {
        variants.push_back({"avx2", row_xrgb8888_avx2});
    }
#endif
    return variants;
}

namespace {

void rows_by_table(const FrameConverter& converter, const uint16_t* source, int width,
                   uint8_t* row) {
    switch (converter.bytes_per_pixel) {
    case 4:
        row_convert_32(converter.table32.data(), source, width, row);
        break;
    case 3:
        row_convert_24(converter.table32.data(), source, width, row);
        break;
    case 2:
        row_convert_16(converter.table16.data(), source, width, row);
        break;
    default:
        row_convert_8(converter.table16.data(), source, width, row);
        break;
    }
}

void frame_rows(const FrameConverter& converter, const uint16_t* frame, int width, int height,
                uint8_t* pixels, int pitch, bool table_only) {
    if (width > frame_width) {
        width = frame_width;
    }
    if (height > frame_height) {
        height = frame_height;
    }
    const FrameLayout layout = table_only ? FrameLayout::table : converter.layout;
    for (int y = 0; y < height; y++) {
        const uint16_t* source = frame + y * frame_width;
        uint8_t* row = pixels + static_cast<ptrdiff_t>(y) * pitch;
        switch (layout) {
        case FrameLayout::identity:
            std::memcpy(row, source, static_cast<size_t>(width) * 2);
            break;
        case FrameLayout::xrgb8888:
            converter.row_xrgb8888(source, reinterpret_cast<uint32_t*>(row), width,
                                   converter.alpha_mask);
            break;
        case FrameLayout::rgb565:
            row_convert_565(source, width, row);
            break;
        case FrameLayout::table:
            rows_by_table(converter, source, width, row);
            break;
        }
    }
}

} // namespace

void frame_converter_build(FrameConverter* converter, uint32_t red_mask, uint32_t green_mask,
                           uint32_t blue_mask, uint32_t alpha_mask, int bytes_per_pixel) {
    converter_reset(converter, bytes_per_pixel);
    for (uint32_t index = 0; index < frame_table_size; index++) {
        uint32_t value = channel_place((index >> 10) & 31, red_mask) |
                         channel_place((index >> 5) & 31, green_mask) |
                         channel_place(index & 31, blue_mask) | alpha_mask;
        converter_set(converter, index, value);
    }
    converter->alpha_mask = alpha_mask;
    converter->row_xrgb8888 = frame_xrgb8888_variants().back().row;
    if (bytes_per_pixel == 2 && red_mask == rgb555_red_mask && green_mask == rgb555_green_mask &&
        blue_mask == rgb555_blue_mask) {
        converter->layout = FrameLayout::identity;
    } else if (bytes_per_pixel == 2 && red_mask == 0xF800 && green_mask == 0x07E0 &&
               blue_mask == 0x001F) {
        converter->layout = FrameLayout::rgb565;
    } else if (bytes_per_pixel == 4 && red_mask == 0xFF0000 && green_mask == 0x00FF00 &&
               blue_mask == 0x0000FF && (alpha_mask & 0x00FFFFFF) == 0) {
        converter->layout = FrameLayout::xrgb8888;
    }
}

void frame_converter_build_from(FrameConverter* converter, int bytes_per_pixel,
                                uint32_t (*map_rgb)(void* context, uint8_t r, uint8_t g, uint8_t b),
                                void* context) {
    converter_reset(converter, bytes_per_pixel);
    for (uint32_t index = 0; index < 32768; index++) {
        uint32_t value = map_rgb(context, channel_5_to_8((index >> 10) & 31),
                                 channel_5_to_8((index >> 5) & 31), channel_5_to_8(index & 31));
        converter_set(converter, index, value);
        converter_set(converter, index | 0x8000, value);
    }
}

void frame_convert(const FrameConverter& converter, const uint16_t* frame, int width, int height,
                   uint8_t* pixels, int pitch) {
    frame_rows(converter, frame, width, height, pixels, pitch, false);
}

void frame_convert_by_table(const FrameConverter& converter, const uint16_t* frame, int width,
                            int height, uint8_t* pixels, int pitch) {
    frame_rows(converter, frame, width, height, pixels, pitch, true);
}

const char* frame_converter_path(const FrameConverter& converter) {
    for (const FrameRowVariant& variant : frame_xrgb8888_variants()) {
        if (variant.row == converter.row_xrgb8888) {
            return variant.name;
        }
    }
    return "none";
}
