// The key redefinition screen: the answers, where they land, and the block saved for next time.
#include <sys/resource.h>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

#include "screens_fixture.h"
#include "settings/settings_file.h"
#include "settings/settings_table.h"

namespace {

constexpr uint32_t first_answer_tick = 4000;

// The eight answers in prompt order: red left, right, up, down, then green.
using Answers = std::array<uint32_t, 8>;

void answers_script(std::vector<ScriptedKey>& keys, const Answers& answers,
                    uint32_t from = first_answer_tick) {
    for (size_t i = 0; i < answers.size(); ++i) {
        key_tap(keys, from + 300 * static_cast<uint32_t>(i), answers[i]);
    }
}

std::string key_block(const Answers& a) {
    std::ostringstream block;
    block << "\n   ; Redefined keys\n   [Controls/RedPlayer]\n"
          << "       Left=" << a[0] << "\n       Right=" << a[1] << "\n       Up=" << a[2]
          << "\n       Down=" << a[3] << "\n\n   [Controls/GreenPlayer]\n"
          << "       Left=" << a[4] << "\n       Right=" << a[5] << "\n       Up=" << a[6]
          << "\n       Down=" << a[7] << "\n";
    return block.str();
}

std::string file_text(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void file_write(const char* path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

Answers keys_now() {
    auto code = [](int32_t key) { return static_cast<uint32_t>(key); };
    return {code(red_keys.left), code(red_keys.right),  code(red_keys.up),
            code(red_keys.down), code(green_keys.left), code(green_keys.right),
            code(green_keys.up), code(green_keys.down)};
}

const std::string earlier_settings = "; my own settings\r\n[General]\n  GameSpeed=15 ; faster\n"
                                     "[Controls/RedPlayer]\nLeft=1";

constexpr Answers letters_and_arrows = {'a', 'd', 'w', 's', 276, 275, 273, 274};
constexpr Answers second_set = {'j', 'l', 'i', 'k', 'f', 'h', 't', 'g'};

constexpr int key_screen_frames = 64 + 80 + 2 * 8 + 32 + 1;

TEST_F(ScreensTest, AnswersLandInTheSettingsAndAtTheEndOfTheFile) {
    file_write(settings_file_name, earlier_settings);
    std::vector<ScriptedKey> keys;
    answers_script(keys, letters_and_arrows);
    start(keys);
    const Frame before = screen_show_pattern(12);

    key_screen_run();

    EXPECT_EQ(keys_now(), letters_and_arrows);
    EXPECT_EQ(file_text(settings_file_name), earlier_settings + key_block(letters_and_arrows));
    EXPECT_EQ(static_cast<int>(scripted_frame_count()), 1 + key_screen_frames);
    EXPECT_EQ(scripted_frame_hashes().back(), frame_hash(before));
    EXPECT_EQ(screen(), before);
    EXPECT_EQ(overlay_busy, 0);
    for (int entry : {18, 19, 20}) {
        EXPECT_EQ(archive_entry_record(entry)->ref_count, 0) << "entry " << entry;
    }
    EXPECT_EQ(key_wait_marker, nullptr);
    EXPECT_EQ(key_taken_marker, nullptr);
}

TEST_F(ScreensTest, PromptsWaitAndAreMarkedAtTheirPlacesOnTheKeysPicture) {
    std::vector<ScriptedKey> keys;
    answers_script(keys, letters_and_arrows);
    start(keys);
    key_screen_run();

    Frame shown = curtain_over(bars_over(Frame(frame_pixels, 0)), pattern_pixels(320, 159, 11), 80);
    const int places[8][2] = {{90, 93},  {90, 113},  {90, 135},  {90, 157},
                              {205, 93}, {205, 113}, {205, 135}, {205, 157}};
    auto marker = [&shown](const int* place, uint16_t colour) {
        for (int y = place[1]; y < place[1] + 6; ++y) {
            std::fill_n(shown.begin() + y * frame_width + place[0], 8, colour);
        }
    };
    const int first_prompt = 64 + 80;
    for (int i = 0; i < 8; ++i) {
        marker(places[i], marker_wait_colour);
        EXPECT_EQ(frame_find(shown), first_prompt + 2 * i) << "waiting at prompt " << i;
        marker(places[i], marker_taken_colour);
        EXPECT_EQ(frame_find(shown), first_prompt + 2 * i + 1) << "taken at prompt " << i;
    }
}

TEST_F(ScreensTest, NewKeysSteerTheBodiesOfARunningMatchAtOnce) {
    std::vector<ScriptedKey> keys;
    answers_script(keys, letters_and_arrows);
    start(keys);
    Body red{}, green{}, ball{};
    red.next = &green;
    green.next = &ball;
    ball.key_left = ball.key_right = ball.key_up = ball.key_down = -1;
    body_head = &red;
    bodies_live = 1;

    key_screen_run();

    EXPECT_EQ(red.key_left, 'a');
    EXPECT_EQ(red.key_right, 'd');
    EXPECT_EQ(red.key_up, 'w');
    EXPECT_EQ(red.key_down, 's');
    EXPECT_EQ(green.key_left, 276);
    EXPECT_EQ(green.key_right, 275);
    EXPECT_EQ(green.key_up, 273);
    EXPECT_EQ(green.key_down, 274);
    EXPECT_EQ(ball.key_left, -1);
    body_head = nullptr;
    bodies_live = 0;
}

TEST_F(ScreensTest, OnTheTitleTheBodiesLeftFromAMatchAreNotTouched) {
    std::vector<ScriptedKey> keys;
    answers_script(keys, letters_and_arrows);
    start(keys);
    Body red{};
    red.key_left = 1;
    body_head = &red;
    bodies_live = 0;
    key_screen_run();
    EXPECT_EQ(red.key_left, 1);
    EXPECT_EQ(red_keys.left, 'a');
    body_head = nullptr;
}

TEST_F(ScreensTest, TwoRedefinitionsAppendTwoBlocksAndTheLaterWinsAtTheNextStart) {
    file_write(settings_file_name, earlier_settings);
    std::vector<ScriptedKey> keys;
    answers_script(keys, letters_and_arrows);
    answers_script(keys, second_set, 20000);
    start(keys);
    key_screen_run();
    key_screen_run();
    EXPECT_EQ(file_text(settings_file_name),
              earlier_settings + key_block(letters_and_arrows) + key_block(second_set));

    SettingsTable* table = settings_load(settings_file_name);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(settings_get_int(table, "controls/redplayer:left", -1), 'j');
    EXPECT_EQ(settings_get_int(table, "controls/greenplayer:down", -1), 'g');
    EXPECT_EQ(settings_get_int(table, "general:gamespeed", -1), 15);
    settings_free(table);

    game_settings_reset();
    game_settings_load(settings_file_name);
    EXPECT_EQ(keys_now(), second_set);
}

TEST_F(ScreensTest, FunctionKeysAreAnswersLikeAnyOther) {
    // F2 opens the screen and is let go at the first prompt: that release answers red left.
    std::vector<ScriptedKey> keys{key_down(0, key_f2), key_up(first_answer_tick - 300, key_f2)};
    answers_script(keys, {key_f1, key_f2, 'w', 's', 276, 275, 273, key_f1});
    keys.erase(keys.begin() + 2, keys.begin() + 4); // red left comes from F2's release instead
    start(keys);
    pump_events();
    function_keys_handle();
    EXPECT_EQ(keys_now(), (Answers{key_f2, key_f2, 'w', 's', 276, 275, 273, key_f1}));
    EXPECT_EQ(static_cast<int>(scripted_frame_count()), key_screen_frames)
        << "F1 at a prompt is an answer, not the information screen";
    EXPECT_NE(file_text(settings_file_name).find("Left=283\n       Right=283\n"),
              std::string::npos);
}

class KeySaveFailureTest : public ScreensTest {
  protected:
    // Answers the prompts and returns what the screen printed on stderr.
    std::string key_screen_failing() {
        std::vector<ScriptedKey> keys;
        answers_script(keys, letters_and_arrows);
        start(keys);
        testing::internal::CaptureStderr();
        key_screen_run();
        return testing::internal::GetCapturedStderr();
    }
};

TEST_F(KeySaveFailureTest, AFolderInTheWayIsReportedAndTheKeysStayForTheRun) {
    std::filesystem::create_directory(settings_file_name);
    EXPECT_EQ(key_screen_failing(),
              "Zorbit: cannot save the new keys to zorbit.ini: Is a directory\n");
    EXPECT_EQ(keys_now(), letters_and_arrows);
    EXPECT_EQ(overlay_busy, 0);
}

TEST_F(KeySaveFailureTest, AFullDiskIsReported) {
    std::filesystem::create_symlink("/dev/full", settings_file_name);
    EXPECT_EQ(key_screen_failing(),
              "Zorbit: cannot save the new keys to zorbit.ini: No space left on device\n");
    EXPECT_EQ(keys_now(), letters_and_arrows);
}

TEST_F(KeySaveFailureTest, AReadOnlyFileKeepsItsContentAndTheKeysStayForTheRun) {
    file_write(settings_file_name, earlier_settings);
    std::vector<ScriptedKey> keys;
    answers_script(keys, letters_and_arrows);
    start(keys);
    std::filesystem::permissions(settings_file_name, std::filesystem::perms::owner_read |
                                                         std::filesystem::perms::group_read |
                                                         std::filesystem::perms::others_read);
    std::filesystem::permissions(directory_, std::filesystem::perms::all);
    EXPECT_EXIT(
        {
            // The superuser writes anywhere; play an ordinary player for this.
            if (geteuid() == 0 && seteuid(65534) != 0) {
                std::_Exit(2);
            }
            key_screen_run();
            const Answers kept = keys_now();
            std::fprintf(stderr, "kept=%u,%u,%u,%u,%u,%u,%u,%u\n", kept[0], kept[1], kept[2],
                         kept[3], kept[4], kept[5], kept[6], kept[7]);
            std::fflush(stderr);
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(0),
        "Zorbit: cannot save the new keys to zorbit.ini: Permission denied\n"
        "kept=97,100,119,115,276,275,273,274");
    EXPECT_EQ(file_text(settings_file_name), earlier_settings);
}

// Runs in a child: the file may grow to `room` bytes only, so the block is cut short.
void key_block_append_with_room(size_t room) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{room, room};
    setrlimit(RLIMIT_FSIZE, &limit);
    std::_Exit(key_block_append(settings_file_name) ? 1 : 0);
}

TEST_F(KeySaveFailureTest, ABlockCutShortIsTakenBackOut) {
    file_write(settings_file_name, earlier_settings);
    red_keys = {'a', 'd', 'w', 's'};
    EXPECT_EXIT(key_block_append_with_room(earlier_settings.size() + 60),
                ::testing::ExitedWithCode(0),
                "Zorbit: cannot save the new keys to zorbit.ini: File too large");
    EXPECT_EQ(file_text(settings_file_name), earlier_settings);
}

TEST_F(ScreensTest, AMissingFileIsMadeWithTheBlockAlone) {
    red_keys = {1, 2, 3, 4};
    green_keys = {5, 6, 7, 8};
    EXPECT_TRUE(key_block_append(settings_file_name));
    EXPECT_EQ(file_text(settings_file_name), key_block({1, 2, 3, 4, 5, 6, 7, 8}));
}

} // namespace
