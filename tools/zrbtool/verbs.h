#pragma once
// The zrbtool verbs. Each gets the arguments after its name and returns the exit status.
int pack_command(int argc, char** argv);
int list_command(int argc, char** argv);
int extract_command(int argc, char** argv);
int verify_command(int argc, char** argv);
int sheet_command(int argc, char** argv);

extern const char* const pack_usage;
extern const char* const list_usage;
extern const char* const extract_usage;
extern const char* const verify_usage;
extern const char* const sheet_usage;
