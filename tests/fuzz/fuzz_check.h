#pragma once
// A broken promise aborts, so that the fuzzer keeps the input that broke it.
#include <cstdio>
#include <cstdlib>

inline void fuzz_require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "fuzz: %s\n", what);
        std::abort();
    }
}
