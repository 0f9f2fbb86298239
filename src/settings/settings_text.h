#pragma once
// Text helpers of the settings parser. text_trim_end and text_lower_copy return a buffer of their
// own that the next call of the same helper overwrites: copy the result before calling again.
#include <cstddef>

// Longest text the helpers keep, not counting the terminating NUL.
constexpr std::size_t settings_text_max = 1024;

// White space is the six ASCII blanks (space, \t, \n, \v, \f, \r) and nothing else.
// Points at the first byte of s that is not white space (null gives null).
const char* text_skip_space(const char* s);
// s without its trailing white space (null gives null).
const char* text_trim_end(const char* s);
// At most the first 1024 bytes of s with A to Z turned into a to z (null gives null).
const char* text_lower_copy(const char* s);
// Writes "*** error: ", the formatted message and a line feed to stderr.
[[gnu::format(printf, 1, 2)]] void report_error(const char* format, ...);
