// Reads fuzzed bytes as a recording, once as they are and once with every record's checksum
// made right, so that mutations reach the contents too. Whatever opens is checked, written
// again and read back, and must come back the same.
#include <bit>
#include <cstdint>
#include <string>
#include <vector>

#include <zlib.h>

#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_file.h"
#include "record/recording.h"

namespace {

// The hash the seed corpus was written with.
constexpr uint64_t fuzz_archive_hash = 0x5A6F72626974;

struct Played {
    std::vector<MatchCarry> carries;
    std::vector<std::vector<InputRecord>> matches;
    std::vector<MatchEnd> ends;
};

Played fuzz_play(RecordingReader& reader) {
    Played played;
    MatchCarry carry{};
    InputRecord frame{};
    int64_t frames = 0;
    while (recording_next_match(&reader, &carry)) {
        fuzz_require(match_carry_valid(&carry), "carry out of range");
        played.carries.push_back(carry);
        played.matches.emplace_back();
        while (recording_next_frame(&reader, &frame)) {
            fuzz_require(frame.steer[0] <= steer_all && frame.steer[1] <= steer_all &&
                             frame.keys <= match_key_all,
                         "input bits out of range");
            played.matches.back().push_back(frame);
            ++frames;
        }
        fuzz_require(!recording_next_frame(&reader, &frame), "frame after the end of a match");
        played.ends.push_back(reader.match_end);
    }
    fuzz_require(int64_t(played.matches.size()) == reader.match_count, "match count differs");
    fuzz_require(frames == reader.frame_count, "frame count differs");
    for (size_t i = 0; i + 1 < played.ends.size(); ++i) {
        fuzz_require(played.ends[i] != MatchEnd::incomplete, "incomplete match before the last");
    }
    return played;
}

void fuzz_write(const RecordingHeader& header, const Played& played) {
    RecordingWriter writer;
    fuzz_require(fuzz_file_path() && recording_writer_open(&writer, fuzz_file_path(), &header),
                 "cannot write");
    for (size_t m = 0; m < played.matches.size(); ++m) {
        recording_write_match_start(&writer, &played.carries[m]);
        for (const InputRecord& frame : played.matches[m]) {
            recording_write_frame(&writer, &frame);
        }
        if (played.ends[m] != MatchEnd::incomplete) {
            recording_write_match_end(&writer, played.ends[m]);
        }
    }
    fuzz_require(recording_writer_close(&writer), "cannot finish writing");
}

bool same_carry(const MatchCarry& a, const MatchCarry& b) {
    return a.random_state == b.random_state && a.marker_frame == b.marker_frame &&
           a.alpha_threshold == b.alpha_threshold &&
           a.skip_next_collision == b.skip_next_collision && a.plasma_phase_1 == b.plasma_phase_1 &&
           a.plasma_phase_2 == b.plasma_phase_2 && a.plasma_rows == b.plasma_rows &&
           std::bit_cast<uint64_t>(a.red_scale) == std::bit_cast<uint64_t>(b.red_scale) &&
           std::bit_cast<uint64_t>(a.red_step) == std::bit_cast<uint64_t>(b.red_step) &&
           std::bit_cast<uint64_t>(a.green_scale) == std::bit_cast<uint64_t>(b.green_scale) &&
           std::bit_cast<uint64_t>(a.blue_scale) == std::bit_cast<uint64_t>(b.blue_scale);
}

void fuzz_compare(const Played& first, const Played& again) {
    fuzz_require(first.matches.size() == again.matches.size(), "match count changed");
    for (size_t m = 0; m < first.matches.size(); ++m) {
        fuzz_require(same_carry(first.carries[m], again.carries[m]), "carry changed");
        fuzz_require(first.matches[m] == again.matches[m], "frames changed");
        // The writer closes a match it was not told the end of as stopped.
        const MatchEnd end =
            first.ends[m] == MatchEnd::incomplete ? MatchEnd::stopped : first.ends[m];
        fuzz_require(again.ends[m] == end, "end changed");
    }
}

// Records follow the 6-byte prefix: type, 16-bit length, payload, CRC-32 of the three.
std::vector<uint8_t> fuzz_checksums_made_right(const uint8_t* data, size_t size) {
    std::vector<uint8_t> bytes(data, data + size);
    size_t at = 6;
    while (at + 3 <= size) {
        const size_t length = 3 + (size_t(bytes[at + 1]) | size_t(bytes[at + 2]) << 8);
        if (size - at < length + 4) {
            break;
        }
        const uint32_t crc = uint32_t(crc32(0, &bytes[at], uInt(length)));
        for (int i = 0; i < 4; ++i) {
            bytes[at + length + size_t(i)] = uint8_t(crc >> (8 * i));
        }
        at += length + 4;
    }
    return bytes;
}

void fuzz_one(const uint8_t* data, size_t size) {
    RecordingReader reader;
    if (!recording_reader_open_bytes(&reader, "fuzz", data, size, fuzz_archive_hash)) {
        fuzz_require(!reader.error.empty() && reader.error.find('\n') == std::string::npos,
                     "failure without one line");
        return;
    }
    const Played played = fuzz_play(reader);
    fuzz_write(reader.header, played);
    RecordingReader again;
    const int reopened = recording_reader_open(&again, fuzz_file_path(), fuzz_archive_hash);
    fuzz_require(reopened && again.note.empty(), "written file does not read cleanly");
    fuzz_require(again.header.game_version == reader.header.game_version &&
                     std::bit_cast<uint64_t>(again.header.settings.game_speed) ==
                         std::bit_cast<uint64_t>(reader.header.settings.game_speed) &&
                     again.header.settings.game_length == reader.header.settings.game_length &&
                     again.header.settings.plasma_disabled ==
                         reader.header.settings.plasma_disabled &&
                     again.header.settings.refresh_rate == reader.header.settings.refresh_rate,
                 "header changed");
    fuzz_compare(played, fuzz_play(again));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz_one(data, size);
    const std::vector<uint8_t> repaired = fuzz_checksums_made_right(data, size);
    fuzz_one(repaired.data(), repaired.size());
    return 0;
}
