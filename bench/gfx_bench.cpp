// Drawing and present costs, each beside a plain memcpy of the same bytes on the same run.
#include "gfx/bitmap.h"
#include "gfx/display.h"
#include "gfx/sprite.h"
#include "platform/frame_convert.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

constexpr size_t frame_bytes = frame_pixels * sizeof(uint16_t);

std::vector<uint16_t>& back_buffer_for_bench() {
    static std::vector<uint16_t> buffer = [] {
        std::vector<uint16_t> pixels(frame_pixels);
        for (size_t i = 0; i < pixels.size(); i++) {
            pixels[i] = static_cast<uint16_t>((i * 2654435761u) >> 17);
        }
        return pixels;
    }();
    display_set_target(buffer.data());
    return buffer;
}

// A sprite like a body: bright inside, a dark blended rim, black corners.
Bitmap* sprite_make(int width, int height) {
    Bitmap* sprite = nullptr;
    bitmap_create(&sprite, static_cast<int16_t>(width), static_cast<int16_t>(height));
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++) {
            int dx = 2 * x - width + 1;
            int dy = 2 * y - height + 1;
            int distance = dx * dx + dy * dy;
            int limit = width * width;
            uint16_t pixel = distance < limit / 2 ? 0x7E1F : distance < limit ? 0x0C63 : 0x0000;
            sprite->pixels[y * width + x] = pixel;
        }
    }
    return sprite;
}

void memcpy_bytes(benchmark::State& state, size_t bytes) {
    std::vector<uint8_t> source(bytes, 1);
    std::vector<uint8_t> target(bytes);
    for (auto _ : state) {
        std::memcpy(target.data(), source.data(), bytes);
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void BM_put_alpha_20x20(benchmark::State& state) {
    back_buffer_for_bench();
    pixel_format_init();
    Bitmap* sprite = sprite_make(20, 20);
    for (auto _ : state) {
        bitmap_put_alpha(sprite, 150, 90);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * 20 * 20 * 2));
    bitmap_free(sprite);
}
BENCHMARK(BM_put_alpha_20x20);

void BM_memcpy_800_bytes(benchmark::State& state) {
    memcpy_bytes(state, 20 * 20 * 2);
}
BENCHMARK(BM_memcpy_800_bytes);

void BM_grab_full_screen(benchmark::State& state) {
    back_buffer_for_bench();
    Bitmap* save = nullptr;
    bitmap_create(&save, 320, 200);
    for (auto _ : state) {
        bitmap_grab(save, 0, 0, 319, 199);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * frame_bytes));
    bitmap_free(save);
}
BENCHMARK(BM_grab_full_screen);

void BM_put_full_screen(benchmark::State& state) {
    back_buffer_for_bench();
    Bitmap* save = nullptr;
    bitmap_create(&save, 320, 200);
    bitmap_grab(save, 0, 0, 319, 199);
    for (auto _ : state) {
        bitmap_put(save, 0, 0);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * frame_bytes));
    bitmap_free(save);
}
BENCHMARK(BM_put_full_screen);

void BM_memcpy_128000_bytes(benchmark::State& state) {
    memcpy_bytes(state, frame_bytes);
}
BENCHMARK(BM_memcpy_128000_bytes);

void BM_put_scaled_200x100(benchmark::State& state) {
    std::vector<uint16_t>& buffer = back_buffer_for_bench();
    Bitmap* picture = sprite_make(200, 100);
    for (auto _ : state) {
        bitmap_put_scaled(picture, 200, 100, 60, 50, buffer.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * 200 * 100 * 2));
    bitmap_free(picture);
}
BENCHMARK(BM_put_scaled_200x100);

void BM_memcpy_40000_bytes(benchmark::State& state) {
    memcpy_bytes(state, 200 * 100 * 2);
}
BENCHMARK(BM_memcpy_40000_bytes);

// The present's conversion of one frame into a 32-bit or a 16-bit surface, computed as the
// present does it, or through the 65,536-entry table that serves every other surface.
void present_conversion(benchmark::State& state, bool table_only) {
    const int bytes = static_cast<int>(state.range(0));
    std::vector<uint16_t>& frame = back_buffer_for_bench();
    FrameConverter converter;
    if (bytes == 4) {
        frame_converter_build(&converter, 0xFF0000, 0x00FF00, 0x0000FF, 0, 4);
        state.SetLabel(table_only ? "table" : frame_converter_path(converter));
    } else {
        frame_converter_build(&converter, 0xF800, 0x07E0, 0x001F, 0, 2);
        state.SetLabel(table_only ? "table" : "rgb565");
    }
    std::vector<uint8_t> surface(frame_pixels * static_cast<size_t>(bytes));
    for (auto _ : state) {
        if (table_only) {
            frame_convert_by_table(converter, frame.data(), 320, 200, surface.data(), 320 * bytes);
        } else {
            frame_convert(converter, frame.data(), 320, 200, surface.data(), 320 * bytes);
        }
        benchmark::DoNotOptimize(surface.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * frame_bytes));
}

void BM_present_conversion(benchmark::State& state) {
    present_conversion(state, false);
}
BENCHMARK(BM_present_conversion)->Arg(4)->Arg(2);

void BM_present_conversion_table(benchmark::State& state) {
    present_conversion(state, true);
}
BENCHMARK(BM_present_conversion_table)->Arg(4)->Arg(2);

} // namespace

BENCHMARK_MAIN();
