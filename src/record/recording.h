#pragma once
// Recordings: every match of a run as the settings, the state carried in from earlier matches,
// and one input record per frame, so that playing it back draws the same frames. The file
// layout is described in README.md under "Recordings".
//
//   RecordingWriter writer;
//   recording_writer_open(&writer, "run.zrec", &header);
//   recording_write_match_start(&writer, &carry);
//   recording_write_frame(&writer, &input);          // once per frame
//   recording_write_match_end(&writer, MatchEnd::escaped);
//   recording_writer_close(&writer);
//
//   RecordingReader reader;
//   if (!recording_reader_open(&reader, "run.zrec", archive_hash)) -> reader.error
//   while (recording_next_match(&reader, &carry))
//       while (recording_next_frame(&reader, &input)) ...; then reader.match_end
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "input/input_record.h"

constexpr uint16_t recording_format_version = 1;
// Longest game version text a file holds; printable ASCII only.
constexpr size_t recording_version_text_max = 64;

// The settings that shape a match.
struct RecordingSettings {
    double game_speed;
    int32_t game_length;
    int32_t plasma_disabled; // 0 or 1
    int32_t refresh_rate;    // 1 or more
};

struct RecordingHeader {
    std::string game_version;
    uint64_t archive_hash; // of zrb.res
    RecordingSettings settings;
};

// What carries over from one match to the next, so that a match replays on its own.
struct MatchCarry {
    uint32_t random_state;
    int32_t marker_frame; // 0 .. 29
    int32_t alpha_threshold;
    int32_t skip_next_collision; // 0 or 1
    uint8_t plasma_phase_1;
    uint8_t plasma_phase_2;
    int32_t plasma_rows; // 0 .. 200
    double red_scale;    // the four plasma numbers: finite, -2 .. 2
    double red_step;
    double green_scale;
    double blue_scale;
};

// How a match ended. The numbers are stored in the file.
enum class MatchEnd : uint8_t {
    incomplete = 0, // the file ends inside the match: the run was cut off
    finished = 1,   // played to its end
    escaped = 2,    // a player left with Escape
    stopped = 3,    // the run was closed during the match
};

// 1 when the game could have produced these values, which the reader insists on.
int match_carry_valid(const MatchCarry* carry);
int recording_settings_valid(const RecordingSettings* settings);

struct RecordingFileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

struct RecordingWriter {
    std::unique_ptr<std::FILE, RecordingFileCloser> file;
    std::string name;
    std::string error; // one line, set by the first failure; later calls then do nothing
    int32_t base_elapsed = 0;
    bool match_open = false;
    InputRecord last{};
    uint8_t run = 1; // bits of the frame run being built, under a leading marker bit
    std::vector<uint8_t> chunk;
    int32_t chunk_frames = 0;
    int64_t chunk_ms = 0;
    uint32_t match_frames = 0;
};

// Each returns 1 on success, 0 on a null argument or after a failure (see writer->error).
// Complete records reach the file at least every half second of frames, so a run that dies
// loses at most that much; whatever it leaves reads back up to the last whole record.
int recording_writer_open(RecordingWriter* writer, const char* path, const RecordingHeader* header);
// Ends an open match as stopped first.
int recording_write_match_start(RecordingWriter* writer, const MatchCarry* carry);
// Steering and key bits beyond those of input_record.h are dropped.
int recording_write_frame(RecordingWriter* writer, const InputRecord* frame);
int recording_write_match_end(RecordingWriter* writer, MatchEnd end);
// Ends an open match as stopped and closes the file.
int recording_writer_close(RecordingWriter* writer);

struct RecordingReader {
    std::string name;
    std::vector<uint8_t> bytes;
    RecordingHeader header{};
    std::string error; // one line when open failed: "<name>: <what is wrong>"
    std::string note;  // one line when the file ends inside a record: the tail was dropped
    int32_t match_count = 0;
    int64_t frame_count = 0;
    int64_t cut_at = -1;                       // byte where the dropped tail starts
    MatchEnd match_end = MatchEnd::incomplete; // of the current match, once its frames ran out

    // Where the next call reads.
    size_t position = 0;
    size_t frames_at = 0;
    size_t frames_end = 0;
    bool match_open = false;
    InputRecord current{};
    uint8_t run = 1;
    int32_t base_elapsed = 0;
    uint32_t match_frames = 0;
};

// Loads and checks the whole file, so that a damaged one fails before anything plays.
// archive_hash is the hash of the zrb.res the game runs with. Returns 1 on success.
int recording_reader_open(RecordingReader* reader, const char* path, uint64_t archive_hash);
// The same from bytes in memory; name stands for the file in messages.
int recording_reader_open_bytes(RecordingReader* reader, const char* name, const uint8_t* data,
                                size_t size, uint64_t archive_hash);
// 1 and the carried state when another match follows, else 0. Skips what is left of the
// current match.
int recording_next_match(RecordingReader* reader, MatchCarry* carry);
// 1 and the next frame of the current match, else 0 with reader->match_end set.
int recording_next_frame(RecordingReader* reader, InputRecord* frame);
