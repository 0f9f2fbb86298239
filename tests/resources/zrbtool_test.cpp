#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>

#include "resources/archive.h"
#include "resources/entry_format.h"
#include "support/test_archive.h"
#include "support/test_module.h"

#ifndef ZRBTOOL_PATH
#define ZRBTOOL_PATH ZORBIT_BINARY_DIR "/tools/zrbtool/zrbtool"
#endif

namespace fs = std::filesystem;

namespace {

struct ToolRun {
    int status;
    std::string output;
};

ToolRun zrbtool(const std::string& arguments) {
    const std::string out = test_temp_path("zrbtool.out");
    const int status = std::system((ZRBTOOL_PATH " " + arguments + " >" + out + " 2>&1").c_str());
    const std::string said = test_read_text(out);
    fs::remove(out);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, said};
}

// The run ended with this status and said each of these somewhere.
template <typename... Said> void expect_run(const ToolRun& run, int status, const Said&... said) {
    EXPECT_EQ(run.status, status) << run.output;
    for (const std::string& words : {std::string(said)...}) {
        EXPECT_NE(run.output.find(words), std::string::npos) << run.output;
    }
}

struct Size {
    uint16_t width;
    uint16_t height;
};

// Sizes that satisfy every screen of the game.
const std::map<int, Size> picture_sizes = {
    {7, {20, 20}},    {8, {20, 20}},    {9, {10, 10}},   {10, {320, 181}}, {11, {320, 200}},
    {12, {320, 475}}, {13, {320, 200}}, {14, {100, 40}}, {15, {100, 40}},  {16, {5, 6}},
    {17, {5, 6}},     {18, {320, 159}}, {19, {16, 16}},  {20, {16, 16}},   {21, {101, 8}},
    {22, {10, 240}},  {23, {31, 962}},  {24, {43, 962}}, {25, {100, 60}},  {26, {100, 60}},
    {27, {100, 60}},  {28, {100, 60}},  {29, {100, 40}}, {30, {100, 40}},
};

std::vector<TestEntry> valid_entries() {
    std::vector<TestEntry> entries(31);
    entries[0] = test_entry(test_text_entry("FILE_ID.DIZ text\r\n"));
    entries[1] = test_entry(test_text_entry("readme\n\ttabbed\n"));
    entries[2] = test_entry(test_module_make());
    for (int effect = 3; effect <= 5; ++effect) {
        entries[effect] = test_entry(std::vector<uint8_t>(100, uint8_t(effect * 40)));
    }
    for (const auto& [index, size] : picture_sizes) {
        entries[index] = test_entry(test_image_entry(size.width, size.height, {}));
    }
    return entries;
}

class Zrbtool : public ::testing::Test {
  protected:
    void SetUp() override {
        folder = test_temp_path("zrbtool");
        fs::create_directories(folder);
    }
    void TearDown() override {
        archive_close();
        fs::remove_all(folder);
    }
    std::string path(const std::string& name) const { return folder + "/" + name; }
    std::string write_archive(const std::vector<TestEntry>& entries, bool packed = true) {
        const std::string archive = path("zrb.res");
        EXPECT_TRUE(test_write_file(archive, test_archive_bytes(entries, packed)));
        return archive;
    }
    ToolRun verify(const std::vector<TestEntry>& entries) {
        return zrbtool("verify " + write_archive(entries));
    }
    // Writes every source of a valid archive plus a manifest naming them.
    void write_sources() {
        fs::create_directories(path("art"));
        std::ofstream manifest(path("zrb.manifest"));
        manifest << "# Zorbit resources\n\n"
                 << "0 text file_id.diz\n1   text\treadme\r\n"
                 << "2 module music.mod\n";
        test_write_file(path("file_id.diz"), {'Z', '\r', '\n', 0xB0});
        test_write_file(path("readme"), {});
        test_write_file(path("music.mod"), test_module_make());
        for (int effect = 3; effect <= 5; ++effect) {
            test_write_file(path("effect" + std::to_string(effect)), {0x80, 0x90, uint8_t(effect)});
            manifest << effect << " pcm effect" << effect << "\n";
        }
        manifest << "6 raw empty\n";
        test_write_file(path("empty"), {});
        for (const auto& [index, size] : picture_sizes) {
            const std::string name = "art/" + std::to_string(index) + ".png";
            test_png_write(path(name), size.width, size.height, rgba_pattern(size, index));
            manifest << index << " image " << name << "\n";
        }
        manifest << "31 external outside.bin\n";
    }
    static std::vector<uint8_t> rgba_pattern(Size size, int seed) {
        std::vector<uint8_t> rgba(size_t(size.width) * size.height * 4);
        for (size_t i = 0; i < rgba.size(); ++i) {
            rgba[i] = uint8_t(i * 37 + seed * 11);
        }
        rgba[3] = 0;    // transparent first pixel: black
        rgba[7] = 127;  // below half: black
        rgba[11] = 128; // half and above: its colour
        return rgba;
    }
    std::string folder;
};

TEST(ZrbtoolHelp, ToolAndEveryVerbDescribeThemselves) {
    expect_run(zrbtool("--help"), 0, "usage: zrbtool VERB");
    for (const std::string verb : {"pack", "list", "extract", "verify", "sheet"}) {
        expect_run(zrbtool(verb + " --help"), 0, "usage: zrbtool " + verb);
    }
    for (const char* bad : {"", "unpack x", "list", "extract a b"}) {
        EXPECT_EQ(zrbtool(bad).status, 1) << bad;
    }
}

TEST_F(Zrbtool, PackedAndRawArchivesReadBackThroughTheGameAndTheTool) {
    write_sources();
    for (const bool raw : {false, true}) {
        SCOPED_TRACE(raw ? "raw" : "packed");
        const ToolRun pack =
            zrbtool("pack " + path("zrb.manifest") + " " + path("zrb.res") + (raw ? " --raw" : ""));
        ASSERT_EQ(pack.status, 0) << pack.output;
        ASSERT_EQ(archive_open(path("zrb.res").c_str()), 1);
        EXPECT_EQ(archive_is_packed(), !raw);
        ASSERT_EQ(archive_entry_count(), 32);
        const auto text = text_decode(std::span(archive_load_entry(0), 4));
        EXPECT_EQ(text, (std::vector<uint8_t>{'Z', '\r', '\n', 0xB0}));
        EXPECT_EQ(archive_entry_size(1), 0);
        EXPECT_NE(archive_load_entry(1), nullptr);
        EXPECT_EQ(archive_load_entry(4)[2], 4);
        EXPECT_EQ(archive_entry_record(31)->kind[1], 0xFF);

        const std::span<const uint8_t> bytes(archive_load_entry(9), archive_entry_size(9));
        ImageEntryHeader header{};
        ASSERT_TRUE(image_entry_read_header(bytes, &header));
        // Worked out by hand from rgba_pattern: alpha 0 and 127 give black, 128 and 142 the colour.
        const uint16_t first_row[] = {0, 0, 0x46DA, 0x0D0D, 0};
        for (uint32_t x = 0; x < 5; ++x) {
            EXPECT_EQ(image_entry_pixel(bytes, header, x, 0), first_row[x]) << x;
        }
        archive_close();

        expect_run(zrbtool("verify " + path("zrb.res")), 0, "");
        expect_run(zrbtool("list " + path("zrb.res")), 0, "external: outside.bin", "43 x 962");
    }
    // Extract and sheet give back texts, pictures and bytes.
    const auto extract = [&](const std::string& index, const std::string& out) {
        return zrbtool("extract " + path("zrb.res") + " " + index + " " + path(out)).status;
    };
    ASSERT_EQ(extract("0", "out.txt"), 0);
    EXPECT_EQ(test_read_file(path("out.txt")), test_read_file(path("file_id.diz")));
    ASSERT_EQ(extract("1", "empty.txt"), 0);
    EXPECT_TRUE(fs::exists(path("empty.txt")));
    ASSERT_EQ(extract("2", "out.mod"), 0);
    EXPECT_EQ(test_read_file(path("out.mod")), test_module_make());
    ASSERT_EQ(extract("--bytes 0", "stored"), 0);
    EXPECT_EQ(text_decode(test_read_file(path("stored"))), test_read_file(path("out.txt")));
    ASSERT_EQ(extract("21", "clock.png"), 0);
    uint32_t width = 0, height = 0;
    std::vector<uint8_t> rgb = test_png_read(path("clock.png"), &width, &height);
    ASSERT_FALSE(rgb.empty());
    EXPECT_EQ(width, 101u);
    EXPECT_EQ(height, 8u);
    // 15, 52, 89 with alpha 128 become 5-bit 1, 6, 11 and back 8, 49, 90; the first two are black.
    EXPECT_EQ(std::vector<uint8_t>(rgb.begin(), rgb.begin() + 9),
              (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 8, 49, 90}));
    EXPECT_EQ(extract("32", "x"), 1);
    expect_run(zrbtool("extract " + path("zrb.res") + " 31 " + path("x")), 1, "cannot be loaded");
    EXPECT_FALSE(fs::exists(path("x")));
    expect_run(zrbtool("sheet " + path("zrb.res") + " " + path("sheet.png")), 0, "24 pictures");
    ASSERT_FALSE(test_png_read(path("sheet.png"), &width, &height).empty());
    EXPECT_GE(height, 962u + 475u);
}

TEST_F(Zrbtool, BadManifestsAreRefusedWithTheLine) {
    write_sources();
    const std::string good = test_read_text(path("zrb.manifest"));
    struct Case {
        const char* change_from;
        const char* change_to;
        const char* message;
    };
    for (const Case& bad : {Case{"6 raw empty\n", "", "entry 6 is missing"},
                            Case{"6 raw empty\n", "6 raw empty\n6 pcm empty\n", "already given"},
                            Case{"6 raw empty", "6 sample empty", "unknown kind \"sample\""},
                            Case{"6 raw empty", "6 raw", "no path"},
                            Case{"6 raw empty", "six raw empty", "not an entry index"},
                            Case{"6 raw empty", "6 raw nowhere", "cannot read"},
                            Case{"9 image art/9.png", "9 image music.mod", "9"}}) {
        SCOPED_TRACE(bad.message);
        std::string text = good;
        text.replace(text.find(bad.change_from), std::strlen(bad.change_from), bad.change_to);
        std::ofstream(path("bad.manifest")) << text;
        expect_run(zrbtool("pack " + path("bad.manifest") + " " + path("bad.res")), 1, bad.message);
        EXPECT_FALSE(fs::exists(path("bad.res")));
    }
    EXPECT_EQ(zrbtool("pack " + path("none.manifest") + " " + path("bad.res")).status, 1);
}

TEST_F(Zrbtool, VerifyFindsEachProblem) {
    struct Case {
        int index;
        TestEntry entry;
        const char* message;
    };
    const auto image = [](uint16_t width, uint16_t height) {
        return test_entry(test_image_entry(width, height, {}));
    };
    auto cut_image = test_image_entry(20, 20, {});
    cut_image.resize(cut_image.size() - 1);
    const std::vector<Case> cases = {
        {0, test_entry({'p', 'l', 'a', 'i', 'n', '\n', '\n', '\n'}), "does not decode to text"},
        {2, test_entry(std::vector<uint8_t>(3000, 0x11)), "libopenmpt cannot load"},
        {3, test_external_entry(path("missing")), "cannot be loaded"},
        {4, test_entry({}), "effect is empty"},
        {7, test_entry(cut_image), "malformed picture"},
        {9, image(0, 10), "empty picture"},
        {11, image(320, 201), "title picture must be 320 x 200"},
        {12, image(320, 474), "title panels"},
        {24, image(31, 962),
         "first goal animation strip must be 43 wide with at least 962 rows, not 31 x 962"},
        {14, image(100, 100), "zoomed in at (100, 150)"},
        {15, image(100, 99), "zoomed in at (100, 50)"}, // rows from 50 - (h + 1) / 2 - 1
        {29, image(239, 10), "columns 80..320"},
        {19, image(16, 22), "at most 21 rows"},
        {8, image(20, 21), "same size"},
    };
    for (const Case& bad : cases) {
        SCOPED_TRACE(bad.message);
        auto entries = valid_entries();
        entries[bad.index] = bad.entry;
        const std::string entry = "error: entry " + std::to_string(bad.index) + ": ";
        expect_run(verify(entries), 1, entry, bad.message, "FAILED, 1 error,");
    }
}

TEST_F(Zrbtool, VerifyWarnsOnlyAboutWideWipeBarsAndUnusedEntries) {
    auto entries = valid_entries();
    entries[16] = test_entry(test_image_entry(6, 6, {}));
    entries[6] = test_external_entry(path("missing"));
    entries[28] = test_entry(test_image_entry(158, 98, {})); // the largest that fit their places
    entries[15] = test_entry(test_image_entry(100, 98, {}));
    expect_run(verify(entries), 0, "warning: entry 16: ", "warning: entry 6: ", "2 warnings");
}

TEST_F(Zrbtool, VerifyNeedsAnArchiveOfThirtyOneEntries) {
    auto entries = valid_entries();
    entries.pop_back();
    expect_run(verify(entries), 1, "30 entries");
    test_write_file(path("junk.res"), {'J', 'U', 'N', 'K', 0, 0, 0, 0, 0, 0, 0, 0});
    expect_run(zrbtool("verify " + path("junk.res")), 1, "not a resource archive");
}

TEST_F(Zrbtool, MalformedPicturesAndMissingPicturesFailClearly) {
    auto entries = valid_entries();
    auto cut = test_image_entry(4, 4, {});
    cut.resize(cut.size() - 2);
    entries[9] = test_entry(cut);
    const std::string archive = write_archive(entries, false);
    expect_run(zrbtool("extract " + archive + " 9 " + path("ball.png")), 1, "--bytes");
    EXPECT_FALSE(fs::exists(path("ball.png")));
    ASSERT_EQ(zrbtool("extract --bytes " + archive + " 9 " + path("ball.bin")).status, 0);
    EXPECT_EQ(test_read_file(path("ball.bin")), cut);
    expect_run(zrbtool("sheet " + archive + " " + path("sheet.png")), 0,
               "entry 9 is not a well-formed picture", "23 pictures");
    expect_run(zrbtool("list " + archive), 0, "malformed picture");

    const std::string texts_only = write_archive({test_entry(test_text_entry("a"))});
    EXPECT_EQ(zrbtool("sheet " + texts_only + " " + path("none.png")).status, 1);
    EXPECT_EQ(zrbtool("extract " + texts_only + " 0 " + path("no/such/folder")).status, 1);
}

} // namespace
