#include "record/recording.h"

#include <cerrno>
#include <cmath>
#include <cstring>

#include "record/recording_format.h"

namespace {

// A chunk of frames goes out once it holds this much game time or this many frames.
constexpr int64_t flush_ms = 500;
constexpr int32_t flush_frames = 60;

// The game keeps its plasma numbers between 0 and 1; the margin only keeps them finite and
// small enough for the palette arithmetic.
constexpr double plasma_number_max = 2.0;
// The settings file gives game speeds of whole tenths of an int32.
constexpr double game_speed_max = 214748364.8;
constexpr int32_t marker_frame_count = 30;
constexpr int32_t plasma_rows_limit = 200;

bool plasma_number_valid(double value) {
    return std::isfinite(value) && std::fabs(value) <= plasma_number_max;
}

int writer_fail(RecordingWriter* writer, const std::string& what) {
    if (writer->error.empty()) {
        writer->error = writer->name + ": " + what;
    }
    return 0;
}

int writer_fail_errno(RecordingWriter* writer, const char* what) {
    return writer_fail(writer, std::string(what) + ": " + std::strerror(errno));
}

int writer_put_chunk(RecordingWriter* writer, uint8_t type, const std::vector<uint8_t>& payload) {
    if (!writer->error.empty() || !writer->file) {
        return 0;
    }
    std::vector<uint8_t> chunk{type};
    le16_put(chunk, uint16_t(payload.size()));
    chunk.insert(chunk.end(), payload.begin(), payload.end());
    le32_put(chunk, recording_crc(chunk.data(), chunk.size()));
    std::FILE* file = writer->file.get();
    if (std::fwrite(chunk.data(), 1, chunk.size(), file) != chunk.size() ||
        std::fflush(file) != 0) {
        return writer_fail_errno(writer, "cannot write");
    }
    return 1;
}

void writer_end_run(RecordingWriter* writer) {
    if (writer->run > 1) {
        writer->chunk.push_back(uint8_t(token_run | writer->run));
        writer->run = 1;
    }
}

int writer_flush_frames(RecordingWriter* writer) {
    writer_end_run(writer);
    if (writer->chunk.empty()) {
        return writer->error.empty() ? 1 : 0;
    }
    const int done = writer_put_chunk(writer, chunk_frames, writer->chunk);
    writer->chunk.clear();
    writer->chunk_frames = 0;
    writer->chunk_ms = 0;
    return done;
}

void writer_put_input(RecordingWriter* writer, const InputRecord& frame) {
    const uint8_t steer_1 = frame.steer[0] & steer_all;
    const uint8_t steer_2 = frame.steer[1] & steer_all;
    const uint8_t keys = frame.keys & match_key_all;
    InputRecord& last = writer->last;
    if (steer_1 == last.steer[0] && steer_2 == last.steer[1] && keys == last.keys) {
        return;
    }
    writer_end_run(writer);
    if (steer_1 != last.steer[0]) {
        writer->chunk.push_back(uint8_t(token_steer_1 | steer_1));
    }
    if (steer_2 != last.steer[1]) {
        writer->chunk.push_back(uint8_t(token_steer_2 | steer_2));
    }
    if (keys != last.keys) {
        writer->chunk.push_back(uint8_t(token_keys | keys));
    }
    last = {{steer_1, steer_2}, keys, 0};
}

void writer_put_elapsed(RecordingWriter* writer, int32_t elapsed) {
    const int64_t offset = int64_t(elapsed) - writer->base_elapsed;
    if (offset == 0 || offset == 1) {
        writer->run = uint8_t(writer->run << 1 | offset);
        if (writer->run >= run_full) {
            writer_end_run(writer);
        }
        return;
    }
    writer_end_run(writer);
    if (offset >= token_near - near_centre && offset < token_run - near_centre) {
        writer->chunk.push_back(uint8_t(near_centre + offset));
        return;
    }
    writer->chunk.push_back(token_elapsed);
    le32_put(writer->chunk, uint32_t(elapsed));
}

std::vector<uint8_t> header_payload(const RecordingHeader& header) {
    const std::string version = recording_printable_text(header.game_version);
    std::vector<uint8_t> out;
    le64_put(out, header.archive_hash);
    le64_put_double(out, header.settings.game_speed);
    le32_put(out, uint32_t(header.settings.game_length));
    out.push_back(uint8_t(header.settings.plasma_disabled));
    le32_put(out, uint32_t(header.settings.refresh_rate));
    out.push_back(uint8_t(version.size()));
    out.insert(out.end(), version.begin(), version.end());
    return out;
}

std::vector<uint8_t> carry_payload(const MatchCarry& carry) {
    std::vector<uint8_t> out;
    le32_put(out, carry.random_state);
    le32_put(out, uint32_t(carry.marker_frame));
    le32_put(out, uint32_t(carry.alpha_threshold));
    le32_put(out, uint32_t(carry.skip_next_collision));
    out.push_back(carry.plasma_phase_1);
    out.push_back(carry.plasma_phase_2);
    le32_put(out, uint32_t(carry.plasma_rows));
    for (double value : {carry.red_scale, carry.red_step, carry.green_scale, carry.blue_scale}) {
        le64_put_double(out, value);
    }
    return out;
}

} // namespace

std::string recording_printable_text(const std::string& text) {
    std::string out = text.substr(0, recording_version_text_max);
    for (char& c : out) {
        if (c < 0x20 || c > 0x7E) {
            c = '?';
        }
    }
    return out;
}

int match_carry_valid(const MatchCarry* carry) {
    if (carry == nullptr) {
        return 0;
    }
    const bool counters = carry->marker_frame >= 0 && carry->marker_frame < marker_frame_count &&
                          (carry->skip_next_collision == 0 || carry->skip_next_collision == 1) &&
                          carry->plasma_rows >= 0 && carry->plasma_rows <= plasma_rows_limit;
    return counters && plasma_number_valid(carry->red_scale) &&
           plasma_number_valid(carry->red_step) && plasma_number_valid(carry->green_scale) &&
           plasma_number_valid(carry->blue_scale);
}

int recording_settings_valid(const RecordingSettings* settings) {
    if (settings == nullptr) {
        return 0;
    }
    return std::isfinite(settings->game_speed) &&
           std::fabs(settings->game_speed) <= game_speed_max &&
           (settings->plasma_disabled == 0 || settings->plasma_disabled == 1) &&
           settings->refresh_rate >= 1;
}

int recording_writer_open(RecordingWriter* writer, const char* path,
                          const RecordingHeader* header) {
    if (writer == nullptr || path == nullptr || header == nullptr) {
        return 0;
    }
    *writer = RecordingWriter{};
    writer->name = path;
    if (!recording_settings_valid(&header->settings)) {
        return writer_fail(writer, "cannot record with these settings");
    }
    writer->file.reset(std::fopen(path, "wb"));
    if (!writer->file) {
        return writer_fail_errno(writer, "cannot create");
    }
    writer->base_elapsed = 1000 / header->settings.refresh_rate;
    std::vector<uint8_t> prefix(recording_magic, recording_magic + sizeof recording_magic);
    le16_put(prefix, recording_format_version);
    if (std::fwrite(prefix.data(), 1, prefix.size(), writer->file.get()) != prefix.size()) {
        return writer_fail_errno(writer, "cannot write");
    }
    return writer_put_chunk(writer, chunk_header, header_payload(*header));
}

int recording_write_match_start(RecordingWriter* writer, const MatchCarry* carry) {
    if (writer == nullptr || carry == nullptr) {
        return 0;
    }
    if (writer->match_open && !recording_write_match_end(writer, MatchEnd::stopped)) {
        return 0;
    }
    if (!match_carry_valid(carry)) {
        return writer_fail(writer, "cannot record a match state out of range");
    }
    writer->match_open = true;
    writer->last = {};
    writer->match_frames = 0;
    return writer_put_chunk(writer, chunk_match_start, carry_payload(*carry));
}

int recording_write_frame(RecordingWriter* writer, const InputRecord* frame) {
    if (writer == nullptr || frame == nullptr || !writer->match_open || !writer->error.empty()) {
        return 0;
    }
    writer_put_input(writer, *frame);
    writer_put_elapsed(writer, frame->elapsed_ms);
    ++writer->chunk_frames;
    ++writer->match_frames;
    writer->chunk_ms += frame->elapsed_ms > 0 ? frame->elapsed_ms : 0;
    if (writer->chunk_ms >= flush_ms || writer->chunk_frames >= flush_frames) {
        return writer_flush_frames(writer);
    }
    return 1;
}

int recording_write_match_end(RecordingWriter* writer, MatchEnd end) {
    if (writer == nullptr || !writer->match_open) {
        return 0;
    }
    writer->match_open = false;
    if (!writer_flush_frames(writer)) {
        return 0;
    }
    if (end != MatchEnd::finished && end != MatchEnd::escaped) {
        end = MatchEnd::stopped;
    }
    std::vector<uint8_t> payload{uint8_t(end)};
    le32_put(payload, writer->match_frames);
    return writer_put_chunk(writer, chunk_match_end, payload);
}

int recording_writer_close(RecordingWriter* writer) {
    if (writer == nullptr) {
        return 0;
    }
    if (writer->match_open) {
        recording_write_match_end(writer, MatchEnd::stopped);
    }
    std::FILE* file = writer->file.release();
    if (file != nullptr && std::fclose(file) != 0) {
        writer_fail_errno(writer, "cannot write");
    }
    return file != nullptr && writer->error.empty();
}
