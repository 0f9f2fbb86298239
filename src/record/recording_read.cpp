#include "record/recording.h"

#include <cerrno>
#include <cstring>
#include <memory>

#include "record/recording_format.h"

namespace {

// Far beyond anything real, and small enough to hold in memory.
constexpr size_t file_size_max = size_t(64) << 20;

// Reads fields of one checked payload; a read past its end marks it bad instead.
struct FieldReader {
    const uint8_t* bytes;
    size_t size;
    size_t at;
    bool bad;
};

const uint8_t* field_take(FieldReader& in, size_t count) {
    if (in.bad || in.size - in.at < count) {
        in.bad = true;
        return nullptr;
    }
    in.at += count;
    return in.bytes + in.at - count;
}

uint8_t field_u8(FieldReader& in) {
    const uint8_t* bytes = field_take(in, 1);
    return bytes ? bytes[0] : 0;
}

uint32_t field_u32(FieldReader& in) {
    const uint8_t* bytes = field_take(in, 4);
    return bytes ? le32_get(bytes) : 0;
}

uint64_t field_u64(FieldReader& in) {
    const uint64_t low = field_u32(in);
    return low | uint64_t(field_u32(in)) << 32;
}

double field_f64(FieldReader& in) {
    return std::bit_cast<double>(field_u64(in));
}

struct Chunk {
    size_t start;
    uint8_t type;
    size_t payload;
    size_t size;
};

int reader_fail(RecordingReader* reader, const std::string& what) {
    if (reader->error.empty()) {
        reader->error = reader->name + ": " + what;
    }
    return -1;
}

int reader_damaged(RecordingReader* reader, size_t at) {
    return reader_fail(reader, "damaged at byte " + std::to_string(at));
}

// A tail too short for the record it starts is what a run that died mid-write leaves.
int reader_cut(RecordingReader* reader) {
    reader->cut_at = int64_t(reader->position);
    reader->position = reader->bytes.size();
    return 0;
}

// 1 and the next chunk, 0 at the end of the whole records, -1 when damaged.
int chunk_next(RecordingReader* reader, Chunk* chunk) {
    const std::vector<uint8_t>& bytes = reader->bytes;
    const size_t at = reader->position;
    const size_t left = bytes.size() - at;
    if (left == 0) {
        return 0;
    }
    if (left < chunk_head_size) {
        return reader_cut(reader);
    }
    const size_t size = size_t(bytes[at + 1]) | size_t(bytes[at + 2]) << 8;
    if (size > chunk_payload_max) {
        return reader_damaged(reader, at + 1);
    }
    const size_t whole = chunk_head_size + size + chunk_tail_size;
    if (left < whole) {
        return reader_cut(reader);
    }
    if (recording_crc(&bytes[at], whole - chunk_tail_size) != le32_get(&bytes[at + whole - 4])) {
        return reader_damaged(reader, at);
    }
    *chunk = {at, bytes[at], at + chunk_head_size, size};
    reader->position = at + whole;
    return 1;
}

FieldReader chunk_fields(const RecordingReader* reader, const Chunk& chunk) {
    return {reader->bytes.data() + chunk.payload, chunk.size, 0, false};
}

int header_parse(RecordingReader* reader, const Chunk& chunk) {
    FieldReader in = chunk_fields(reader, chunk);
    RecordingHeader& header = reader->header;
    header.archive_hash = field_u64(in);
    header.settings.game_speed = field_f64(in);
    header.settings.game_length = int32_t(field_u32(in));
    header.settings.plasma_disabled = field_u8(in);
    header.settings.refresh_rate = int32_t(field_u32(in));
    const size_t text_size = field_u8(in);
    const uint8_t* text = field_take(in, text_size);
    if (in.bad) {
        return reader_damaged(reader, chunk.start);
    }
    header.game_version.assign(reinterpret_cast<const char*>(text), text_size);
    if (!recording_settings_valid(&header.settings) ||
        recording_printable_text(header.game_version) != header.game_version) {
        return reader_damaged(reader, chunk.payload);
    }
    reader->base_elapsed = 1000 / header.settings.refresh_rate;
    return 1;
}

int carry_parse(RecordingReader* reader, const Chunk& chunk, MatchCarry* carry) {
    FieldReader in = chunk_fields(reader, chunk);
    carry->random_state = field_u32(in);
    carry->marker_frame = int32_t(field_u32(in));
    carry->alpha_threshold = int32_t(field_u32(in));
    carry->skip_next_collision = int32_t(field_u32(in));
    carry->plasma_phase_1 = field_u8(in);
    carry->plasma_phase_2 = field_u8(in);
    carry->plasma_rows = int32_t(field_u32(in));
    carry->red_scale = field_f64(in);
    carry->red_step = field_f64(in);
    carry->green_scale = field_f64(in);
    carry->blue_scale = field_f64(in);
    if (in.bad || !match_carry_valid(carry)) {
        return reader_damaged(reader, chunk.payload);
    }
    return 1;
}

int match_end_parse(RecordingReader* reader, const Chunk& chunk) {
    FieldReader in = chunk_fields(reader, chunk);
    const uint8_t end = field_u8(in);
    const uint32_t frames = field_u32(in);
    if (in.bad || end < uint8_t(MatchEnd::finished) || end > uint8_t(MatchEnd::stopped)) {
        return reader_damaged(reader, chunk.payload);
    }
    if (frames != reader->match_frames) {
        return reader_damaged(reader, chunk.payload + 1);
    }
    reader->match_end = MatchEnd(end);
    reader->match_open = false;
    return 0;
}

// Takes the next frame off the run byte being read.
InputRecord run_frame(RecordingReader* reader) {
    const int marker = std::bit_width(unsigned(reader->run)) - 1;
    const uint8_t below = uint8_t(1 << (marker - 1));
    InputRecord frame = reader->current;
    frame.elapsed_ms = reader->base_elapsed + ((reader->run & below) ? 1 : 0);
    reader->run = uint8_t((reader->run & (below - 1)) | below);
    return frame;
}

// 1 and a frame, 0 when the token only changed the input, -1 when damaged.
int token_read(RecordingReader* reader, InputRecord* frame) {
    const size_t at = reader->frames_at++;
    const uint8_t token = reader->bytes[at];
    InputRecord& current = reader->current;
    if (token >= token_run) {
        reader->run = token & 0x7F;
        return reader->run > 1 ? 0 : reader_damaged(reader, at);
    }
    if (token >= token_near) {
        *frame = current;
        frame->elapsed_ms = reader->base_elapsed + token - near_centre;
        return 1;
    }
    if (token >= token_keys) {
        current.keys = token & match_key_all;
        return 0;
    }
    if (token >= token_steer_1) {
        current.steer[token >= token_steer_2 ? 1 : 0] = token & steer_all;
        return 0;
    }
    if (token != token_elapsed || reader->frames_end - reader->frames_at < 4) {
        return reader_damaged(reader, at);
    }
    *frame = current;
    frame->elapsed_ms = int32_t(le32_get(&reader->bytes[reader->frames_at]));
    reader->frames_at += 4;
    return 1;
}

// Moves on to the match's next chunk: frames to read, or its end; -1 when damaged.
int match_next_chunk(RecordingReader* reader) {
    Chunk chunk{};
    const int found = chunk_next(reader, &chunk);
    if (found <= 0) {
        reader->match_end = MatchEnd::incomplete;
        reader->match_open = false;
        return found;
    }
    if (chunk.type == chunk_match_end) {
        return match_end_parse(reader, chunk);
    }
    if (chunk.type != chunk_frames) {
        return reader_damaged(reader, chunk.start);
    }
    reader->frames_at = chunk.payload;
    reader->frames_end = chunk.payload + chunk.size;
    return 1;
}

int frame_counted(RecordingReader* reader) {
    ++reader->match_frames;
    return 1;
}

// 1 and a frame, 0 at the end of the match, -1 when damaged.
int frame_next(RecordingReader* reader, InputRecord* frame) {
    while (reader->match_open) {
        if (reader->run > 1) {
            *frame = run_frame(reader);
            return frame_counted(reader);
        }
        if (reader->frames_at == reader->frames_end) {
            if (match_next_chunk(reader) < 0) {
                return -1;
            }
            continue;
        }
        const int read = token_read(reader, frame);
        if (read != 0) {
            return read < 0 ? read : frame_counted(reader);
        }
    }
    return 0;
}

void cursor_reset(RecordingReader* reader, size_t position) {
    reader->position = position;
    reader->frames_at = reader->frames_end = 0;
    reader->match_open = false;
    reader->match_end = MatchEnd::incomplete;
    reader->run = 1;
}

// 1 and the carried state when a match starts, 0 at the end, -1 when damaged.
int match_next(RecordingReader* reader, MatchCarry* carry) {
    InputRecord skipped{};
    int read = 0;
    while ((read = frame_next(reader, &skipped)) == 1) {
    }
    Chunk chunk{};
    const int found = read < 0 ? read : chunk_next(reader, &chunk);
    if (found <= 0) {
        return found;
    }
    if (chunk.type != chunk_match_start) {
        return reader_damaged(reader, chunk.start);
    }
    if (carry_parse(reader, chunk, carry) < 0) {
        return -1;
    }
    cursor_reset(reader, reader->position);
    reader->match_open = true;
    reader->current = {};
    reader->match_frames = 0;
    return 1;
}

int reader_scan(RecordingReader* reader) {
    MatchCarry carry{};
    InputRecord frame{};
    int found = 0;
    while ((found = match_next(reader, &carry)) == 1) {
        ++reader->match_count;
        int read = 0;
        while ((read = frame_next(reader, &frame)) == 1) {
            ++reader->frame_count;
        }
        if (read < 0) {
            return read;
        }
    }
    return found;
}

int prefix_check(RecordingReader* reader) {
    const std::vector<uint8_t>& bytes = reader->bytes;
    if (bytes.size() < sizeof recording_magic ||
        std::memcmp(bytes.data(), recording_magic, sizeof recording_magic) != 0) {
        return reader_fail(reader, "not a Zorbit recording");
    }
    if (bytes.size() < recording_prefix_size) {
        return reader_fail(reader, "cut short at byte " + std::to_string(bytes.size()));
    }
    const int version = bytes[4] | bytes[5] << 8;
    if (version != recording_format_version) {
        return reader_fail(reader, "format version " + std::to_string(version) +
                                       ", this game reads " +
                                       std::to_string(recording_format_version));
    }
    reader->position = recording_prefix_size;
    return 1;
}

int header_read(RecordingReader* reader, uint64_t archive_hash) {
    Chunk chunk{};
    const int found = chunk_next(reader, &chunk);
    if (found == 0) {
        return reader_fail(reader, "cut short at byte " + std::to_string(reader->bytes.size()));
    }
    if (found < 0) {
        return found;
    }
    if (chunk.type != chunk_header) {
        return reader_damaged(reader, chunk.start);
    }
    if (header_parse(reader, chunk) < 0) {
        return -1;
    }
    if (reader->header.archive_hash != archive_hash) {
        return reader_fail(reader, "made with a different zrb.res");
    }
    return 1;
}

void reader_note(RecordingReader* reader, MatchEnd last_end) {
    std::string what;
    if (reader->cut_at >= 0) {
        what = "cut short at byte " + std::to_string(reader->bytes.size());
    }
    if (reader->match_count > 0 && last_end == MatchEnd::incomplete) {
        what += what.empty() ? "the last match is incomplete" : ", the last match is incomplete";
    }
    if (!what.empty()) {
        reader->note = reader->name + ": " + what;
    }
}

// A failed reader has nothing left to read.
int reader_refuse(RecordingReader* reader) {
    cursor_reset(reader, reader->bytes.size());
    return 0;
}

int reader_check(RecordingReader* reader, uint64_t archive_hash) {
    if (prefix_check(reader) < 0 || header_read(reader, archive_hash) < 0) {
        return reader_refuse(reader);
    }
    const size_t first_match = reader->position;
    if (reader_scan(reader) < 0) {
        return reader_refuse(reader);
    }
    reader_note(reader, reader->match_end);
    cursor_reset(reader, first_match);
    return 1;
}

int file_load(RecordingReader* reader, const char* path) {
    std::unique_ptr<std::FILE, RecordingFileCloser> file(std::fopen(path, "rb"));
    if (!file) {
        return reader_fail(reader, std::string("cannot open: ") + std::strerror(errno));
    }
    std::vector<uint8_t> block(size_t(1) << 16);
    size_t got = 0;
    while ((got = std::fread(block.data(), 1, block.size(), file.get())) > 0) {
        if (reader->bytes.size() + got > file_size_max) {
            return reader_fail(reader, "too large to be a recording");
        }
        reader->bytes.insert(reader->bytes.end(), block.begin(), block.begin() + got);
    }
    if (std::ferror(file.get())) {
        return reader_fail(reader, std::string("cannot read: ") + std::strerror(errno));
    }
    return 1;
}

} // namespace

int recording_reader_open(RecordingReader* reader, const char* path, uint64_t archive_hash) {
    if (reader == nullptr || path == nullptr) {
        return 0;
    }
    *reader = RecordingReader{};
    reader->name = path;
    return file_load(reader, path) > 0 && reader_check(reader, archive_hash);
}

int recording_reader_open_bytes(RecordingReader* reader, const char* name, const uint8_t* data,
                                size_t size, uint64_t archive_hash) {
    if (reader == nullptr || name == nullptr || (data == nullptr && size > 0)) {
        return 0;
    }
    *reader = RecordingReader{};
    reader->name = name;
    if (size > file_size_max) {
        return reader_fail(reader, "too large to be a recording") > 0;
    }
    reader->bytes.assign(data, data + size);
    return reader_check(reader, archive_hash);
}

int recording_next_match(RecordingReader* reader, MatchCarry* carry) {
    if (reader == nullptr || carry == nullptr) {
        return 0;
    }
    return match_next(reader, carry) == 1;
}

int recording_next_frame(RecordingReader* reader, InputRecord* frame) {
    if (reader == nullptr || frame == nullptr) {
        return 0;
    }
    return frame_next(reader, frame) == 1;
}
