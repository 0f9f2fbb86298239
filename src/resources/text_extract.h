#pragma once
// Writes a text entry of the archive to a file, undoing the stored transform.
#include <cstdint>

void archive_extract_text(int32_t index, const char* path);
