#pragma once
// Developer traces: appended to the file named by ZORBIT_DEBUG_LOG, nowhere otherwise.
void debug_channel_write(const char* text);
