#pragma once
// Every picture the matches and screens draw, loaded once when the game is set up, and the
// save areas of the panels.
struct Bitmap;

struct GamePictures {
    Bitmap* title_picture = nullptr;
    Bitmap* title_panels = nullptr;
    Bitmap* wipe_bar_upper = nullptr;
    Bitmap* wipe_bar_lower = nullptr;
    Bitmap* score_marks = nullptr;
    Bitmap* red_image = nullptr;
    Bitmap* green_image = nullptr;
    Bitmap* ball_image = nullptr;
    Bitmap* pitch_image = nullptr;
    Bitmap* goal_picture_side1 = nullptr;
    Bitmap* goal_picture_side2 = nullptr;
    Bitmap* clock_image = nullptr;
    Bitmap* goal_anim_a = nullptr;
    Bitmap* goal_anim_b = nullptr;
    Bitmap* end_picture_a = nullptr;
    Bitmap* end_picture_side2 = nullptr;
    Bitmap* end_picture_side1 = nullptr;
    Bitmap* end_picture_b = nullptr;
    Bitmap* time_up_picture_a = nullptr;
    Bitmap* time_up_picture_b = nullptr;
    Bitmap* top_score_save = nullptr;
    Bitmap* bottom_score_save = nullptr;
    Bitmap* clock_save = nullptr;
    Bitmap* marker_view = nullptr;
    // Optional: the small font of on-screen messages (null when the archive has none).
    Bitmap* small_font = nullptr;
};

extern GamePictures pictures;

// Loads them all in the game's order; a picture missing or too large for its use ends the game
// with a message.
void pictures_load();
// Releases them all (the records, the save areas and the archive entries behind them).
void pictures_free();
