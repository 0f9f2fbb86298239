#include <gtest/gtest.h>
#include <zlib.h>

#include <bit>
#include <climits>
#include <cstdio>

#include "record/recording.h"
#include "support/test_archive.h"

namespace {

constexpr uint64_t hand_hash = 0x1122334455667788;

void put(std::vector<uint8_t>& out, uint64_t value, int bytes = 4) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(uint8_t(value >> (8 * i)));
    }
}

std::vector<uint8_t> chunk(uint8_t type, const std::vector<uint8_t>& payload) {
    std::vector<uint8_t> out = {type, uint8_t(payload.size()), uint8_t(payload.size() >> 8)};
    out.insert(out.end(), payload.begin(), payload.end());
    put(out, uint32_t(crc32(0, out.data(), uInt(out.size()))));
    return out;
}

std::vector<uint8_t> header_payload(int32_t refresh_rate = 60) {
    std::vector<uint8_t> out;
    put(out, hand_hash, 8);
    put(out, std::bit_cast<uint64_t>(1.0), 8);
    put(out, 84);
    out.push_back(0);
    put(out, uint32_t(refresh_rate));
    out.insert(out.end(), {5, '1', '.', '0', '.', '0'});
    return out;
}

std::vector<uint8_t> carry_payload(int32_t marker_frame = 29) {
    std::vector<uint8_t> out;
    for (uint32_t value : {0x12345678u, uint32_t(marker_frame), 15u, 1u}) {
        put(out, value);
    }
    out.insert(out.end(), {10, 90});
    put(out, 200);
    for (double value : {0.5, -0.01, 0.5, 0.3}) {
        put(out, std::bit_cast<uint64_t>(value), 8);
    }
    return out;
}

// Side 1 left, side 2 up, a run of 17/16/17 ms, F1 down, base + 15, then INT32_MAX.
const std::vector<uint8_t> hand_frames = {0x21, 0x34, 0x8D, 0x42, 0x7F,
                                          0x01, 0xFF, 0xFF, 0xFF, 0x7F};

std::vector<uint8_t> file_of(std::initializer_list<std::vector<uint8_t>> chunks) {
    std::vector<uint8_t> out = {'Z', 'R', 'E', 'C', 1, 0};
    for (const auto& part : chunks) {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

// Chunks start at bytes 6, 44, 105 and 122; the file is 134 bytes long.
std::vector<uint8_t> hand_file(const std::vector<uint8_t>& frames = hand_frames,
                               uint32_t frame_count = 5,
                               const std::vector<uint8_t>& header = header_payload(),
                               const std::vector<uint8_t>& carry = carry_payload()) {
    return file_of({chunk(1, header), chunk(2, carry), chunk(3, frames),
                    chunk(4, {1, uint8_t(frame_count), 0, 0, 0})});
}

struct ReadBack {
    int opened;
    std::string message;
    RecordingHeader header;
    std::vector<std::vector<InputRecord>> matches;
    std::vector<MatchEnd> ends;
    std::vector<MatchCarry> carries;
};

ReadBack read_back(RecordingReader& reader, bool opened) {
    if (!opened) {
        return {0, reader.error, {}, {}, {}, {}};
    }
    ReadBack out{1, reader.note, reader.header, {}, {}, {}};
    MatchCarry carry{};
    InputRecord frame{};
    while (recording_next_match(&reader, &carry)) {
        out.carries.push_back(carry);
        out.matches.emplace_back();
        while (recording_next_frame(&reader, &frame)) {
            out.matches.back().push_back(frame);
        }
        out.ends.push_back(reader.match_end);
    }
    return out;
}

ReadBack read_bytes(const std::vector<uint8_t>& bytes, uint64_t hash) {
    RecordingReader reader;
    return read_back(
        reader, recording_reader_open_bytes(&reader, "t.zrec", bytes.data(), bytes.size(), hash));
}

ReadBack read_file(const std::string& path, uint64_t hash) {
    RecordingReader reader;
    return read_back(reader, recording_reader_open(&reader, path.c_str(), hash));
}

TEST(Recording, ReadsAFileLaidOutByHand) {
    const ReadBack back = read_bytes(hand_file(), hand_hash);
    EXPECT_EQ(back.message, "");
    EXPECT_EQ(back.header.game_version, "1.0.0");
    EXPECT_EQ(back.header.settings.game_speed, 1.0);
    EXPECT_EQ(back.header.settings.game_length, 84);
    EXPECT_EQ(back.header.settings.refresh_rate, 60);
    ASSERT_EQ(back.matches.size(), 1u);
    EXPECT_EQ(back.carries[0].random_state, 0x12345678u);
    EXPECT_EQ(back.carries[0].marker_frame, 29);
    EXPECT_EQ(back.carries[0].skip_next_collision, 1);
    EXPECT_EQ(back.carries[0].plasma_phase_2, 90);
    EXPECT_EQ(back.carries[0].red_step, -0.01);
    EXPECT_EQ(back.carries[0].blue_scale, 0.3);
    EXPECT_EQ(back.matches[0], (std::vector<InputRecord>{{{1, 4}, 0, 17},
                                                         {{1, 4}, 0, 16},
                                                         {{1, 4}, 0, 17},
                                                         {{1, 4}, 2, 31},
                                                         {{1, 4}, 2, INT32_MAX}}));
    EXPECT_EQ(back.ends[0], MatchEnd::finished);
}

TEST(Recording, DamagedFilesFailWithOneLineOrLoseOnlyTheirTail) {
    const auto edited = [](auto edit) {
        auto bytes = hand_file();
        edit(bytes);
        return bytes;
    };
    const auto cut = [&](size_t size) { return edited([size](auto& b) { b.resize(size); }); };
    const auto flip = [&](size_t at) { return edited([at](auto& b) { b[at] ^= 1; }); };
    const std::vector<uint8_t> header = chunk(1, header_payload());
    const struct {
        const char* what;
        std::vector<uint8_t> bytes;
        const char* message; // after "t.zrec: ": the error when not opened, else the note
        int opened = 0;
        size_t frames = 0; // of the last match read
        uint64_t hash = hand_hash;
    } cases[] = {
        {"other magic", flip(3), "not a Zorbit recording"},
        {"newer format", edited([](auto& b) { b[4] = 3; }), "format version 3, this game reads 1"},
        {"other archive", hand_file(), "made with a different zrb.res", 0, 0, 0x1122},
        {"cut in the prefix", cut(5), "cut short at byte 5"},
        {"cut in the header", cut(30), "cut short at byte 30"},
        {"header bit flipped", flip(20), "damaged at byte 6"},
        {"header length 4097", edited([](auto& b) { b[7] = 0x01, b[8] = 0x10; }),
         "damaged at byte 7"},
        {"refresh rate 0", hand_file(hand_frames, 5, header_payload(0)), "damaged at byte 9"},
        {"marker frame 30", hand_file(hand_frames, 5, header_payload(), carry_payload(30)),
         "damaged at byte 47"},
        {"empty run token", hand_file({0x21, 0x81}, 0), "damaged at byte 109"},
        {"unknown token", hand_file({0x7F, 0x02}, 1), "damaged at byte 109"},
        {"elapsed cut off", hand_file({0x7F, 0x01, 0x10, 0, 0}, 2), "damaged at byte 109"},
        {"frame count 4", hand_file(hand_frames, 4), "damaged at byte 126"},
        {"frames outside a match", file_of({header, chunk(3, hand_frames)}), "damaged at byte 44"},
        {"cut in the end marker", cut(130), "cut short at byte 130, the last match is incomplete",
         1, 5},
        {"cut before the end marker", cut(122), "the last match is incomplete", 1, 5},
        {"cut in the match start", cut(50), "cut short at byte 50", 1, 0},
    };
    for (const auto& c : cases) {
        const ReadBack got = read_bytes(c.bytes, c.hash);
        EXPECT_EQ(got.opened, c.opened) << c.what;
        EXPECT_EQ(got.message, *c.message ? std::string("t.zrec: ") + c.message : "") << c.what;
        EXPECT_EQ(got.matches.empty() ? 0 : got.matches.back().size(), c.frames) << c.what;
    }
}

const RecordingHeader sixty_hertz = {"1.0.0", 7, {1.0, 84, 0, 60}};
const MatchCarry first_carry = {1, 0, 15, 0, 10, 90, 0, 1.0, -0.01, 0.0, 0.0};

void write_match(RecordingWriter& writer, const MatchCarry& carry,
                 const std::vector<InputRecord>& frames, MatchEnd end) {
    recording_write_match_start(&writer, &carry);
    for (const InputRecord& frame : frames) {
        recording_write_frame(&writer, &frame);
    }
    if (end != MatchEnd::incomplete) {
        recording_write_match_end(&writer, end);
    }
}

TEST(Recording, MatchesComeBackAsWritten) {
    const RecordingHeader header = {
        "1.0.0 test", 0xFEDCBA9876543210, {10 * double(0.1f), -7, 1, 75}};
    std::vector<InputRecord> first;
    // 75 Hz: 13 and 14 ms are the cheap ones, then the edges of the one-byte range and beyond.
    for (int32_t elapsed : {13, 14, 14, 0, -1, 12, -3, -4, 28, 29, INT32_MIN, INT32_MAX, 1000}) {
        const size_t i = first.size();
        first.push_back({{uint8_t(i % 16), uint8_t(15 - i % 16)}, uint8_t(i * 7 % 32), elapsed});
    }
    const std::vector<InputRecord> third(200, InputRecord{{4, 8}, 0, 13});
    const MatchCarry carry = {0xFFFFFFFF, 0, INT32_MIN, 0, 255, 0, 0, 1.0, 0.01, 0.0, 2.0};
    const std::string path = test_temp_path("round.zrec");
    RecordingWriter writer;
    ASSERT_TRUE(recording_writer_open(&writer, path.c_str(), &header));
    write_match(writer, carry, first, MatchEnd::finished);
    write_match(writer, first_carry, {}, MatchEnd::escaped);
    write_match(writer, carry, third, MatchEnd::escaped);
    // Bits beyond the steering and the match keys are dropped.
    write_match(writer, first_carry, {{{0xFF, 0x13}, 0xE1, 14}}, MatchEnd::incomplete);
    ASSERT_TRUE(recording_writer_close(&writer)) << writer.error;

    const ReadBack back = read_file(path, 0xFEDCBA9876543210);
    std::remove(path.c_str());
    EXPECT_EQ(back.message, "");
    EXPECT_EQ(back.header.game_version, "1.0.0 test");
    EXPECT_EQ(std::bit_cast<uint64_t>(back.header.settings.game_speed), 0x3FF0000004000000u);
    EXPECT_EQ(back.header.settings.game_length, -7);
    EXPECT_EQ(back.header.settings.plasma_disabled, 1);
    EXPECT_EQ(back.header.settings.refresh_rate, 75);
    ASSERT_EQ(back.matches.size(), 4u);
    EXPECT_EQ(back.carries[0].random_state, 0xFFFFFFFFu);
    EXPECT_EQ(back.carries[0].alpha_threshold, INT32_MIN);
    EXPECT_EQ(back.carries[0].blue_scale, 2.0);
    EXPECT_EQ(back.matches[0], first);
    EXPECT_TRUE(back.matches[1].empty());
    EXPECT_EQ(back.matches[2], third);
    EXPECT_EQ(back.matches[3], (std::vector<InputRecord>{{{15, 3}, 1, 14}}));
    EXPECT_EQ(back.ends, (std::vector<MatchEnd>{MatchEnd::finished, MatchEnd::escaped,
                                                MatchEnd::escaped, MatchEnd::stopped}));
}

TEST(Recording, ARunThatDiesKeepsAllButTheLastHalfSecond) {
    const std::string path = test_temp_path("dies.zrec");
    RecordingWriter writer;
    ASSERT_TRUE(recording_writer_open(&writer, path.c_str(), &sixty_hertz));
    std::vector<InputRecord> frames;
    for (int32_t i = 0; i < 100; ++i) {
        frames.push_back({{1, 0}, 0, i % 3 == 2 ? 16 : 17}); // 60 frames/s as the pacer gives them
    }
    write_match(writer, first_carry, frames, MatchEnd::incomplete);
    // Read while the writer still holds the file open, as after a crash.
    const ReadBack back = read_file(path, 7);
    std::remove(path.c_str());
    ASSERT_EQ(back.matches.size(), 1u);
    EXPECT_EQ(back.matches[0].size(), 90u);
    EXPECT_EQ(back.message, path + ": the last match is incomplete");
}

TEST(Recording, FilesThatCannotBeUsedAreNamed) {
    RecordingWriter writer;
    EXPECT_FALSE(recording_writer_open(&writer, "/dev/full", &sixty_hertz));
    EXPECT_EQ(writer.error, "/dev/full: cannot write: No space left on device");
    EXPECT_FALSE(recording_write_match_start(&writer, &first_carry));
    EXPECT_FALSE(recording_writer_close(&writer));
    const std::string missing = test_temp_path("missing.zrec");
    EXPECT_EQ(read_file(missing, 7).message, missing + ": cannot open: No such file or directory");
    EXPECT_EQ(read_file("/", 7).message, "/: cannot read: Is a directory");
}

} // namespace
