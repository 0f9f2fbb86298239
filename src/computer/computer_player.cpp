#include "computer/computer_player.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double accel = 0.1; // velocity change of one held key in one frame
constexpr double top_speed = 3.5;
constexpr int32_t horizon = 96;          // frames of the ball's course looked ahead
constexpr int32_t contact_lookahead = 8; // frames checked for a touch the plan did not mean
constexpr int32_t shot_lookahead = 64;   // frames a struck ball is followed
constexpr int32_t aim_hold_frames = 40;  // how long one aim is kept

constexpr double left_bound = 8;
constexpr double top_bound = 16;
constexpr double right_wall = 311;
constexpr double bottom_wall = 183;
constexpr double left_post = 136;
constexpr double right_post = 184;

struct Skill {
    int32_t delay;     // frames between seeing and acting
    double aim_spread; // pixels the aim may miss the middle of the opening by
};
constexpr Skill skills[3] = {{14, 18.0}, {7, 9.0}, {2, 3.0}};

int32_t random_next(ComputerPlayer* p) {
    p->random_state = p->random_state * 214013u + 2531011u;
    return static_cast<int32_t>((p->random_state >> 16) & 0x7FFF);
}

double speed_clamp(double v) {
    return std::clamp(v, -top_speed, top_speed);
}

// --- Motion, as the pitch moves a body (without the bounce nudges nobody can foresee) ---

bool in_opening(const ComputerBody& b) {
    return b.x >= left_post && b.x + b.w <= right_post;
}

// Inside an opening the posts stand in for the side walls; dx is used up by a post bounce.
void body_post_bounce(ComputerBody& b, double& dx) {
    const double nx = b.x + dx;
    if (nx < left_post) {
        b.x = 2 * left_post - b.x - dx;
    } else if (nx > right_post - b.w) {
        b.x = 2 * (right_post - b.w) - b.x - dx;
    } else {
        return;
    }
    b.vx = -b.vx;
    dx = 0;
}

void body_vertical(ComputerBody& b, double& dx, double dy, bool ball) {
    const double ny = b.y + dy;
    const bool past_bottom = ny > bottom_wall - b.h;
    if (!past_bottom && !(ny < top_bound)) {
        b.y = ny;
    } else if (ball && in_opening(b)) {
        b.y = ny;
        body_post_bounce(b, dx);
    } else {
        b.y = past_bottom ? 2 * (bottom_wall - b.h) - b.y - dy : 2 * top_bound - b.y - dy;
        b.vy = -b.vy;
    }
}

void body_horizontal(ComputerBody& b, double dx) {
    const double nx = b.x + dx;
    if (nx > right_wall - b.w) {
        b.x = 2 * (right_wall - b.w) - b.x - dx;
        b.vx = -b.vx;
    } else if (nx < left_bound) {
        b.x = 2 * left_bound - b.x - dx;
        b.vx = -b.vx;
    } else {
        b.x = nx;
    }
}

// One frame; k is pixels per unit of velocity. Returns the goal code a ball makes (0, 1, 2).
int32_t body_step(ComputerBody& b, double k, bool ball) {
    b.vx = speed_clamp(b.vx);
    b.vy = speed_clamp(b.vy);
    double dx = k * b.vx;
    body_vertical(b, dx, k * b.vy, ball);
    body_horizontal(b, dx);
    if (b.y < 0) {
        return 2;
    }
    return b.y + b.h > 200 ? 1 : 0;
}

void body_steer_bits(ComputerBody& b, uint8_t bits) {
    b.vx += (bits & steer_left) ? -accel : 0.0;
    b.vx += (bits & steer_right) ? accel : 0.0;
    b.vy += (bits & steer_up) ? -accel : 0.0;
    b.vy += (bits & steer_down) ? accel : 0.0;
}

// --- What the player sees, and what it believes is there now ---

ComputerBody& own_body(ComputerView& v, int32_t side) {
    return side == 1 ? v.red : v.green;
}

ComputerBody& other_body(ComputerView& v, int32_t side) {
    return side == 1 ? v.green : v.red;
}

double view_scale(const ComputerView& v) {
    return v.elapsed_ms * v.game_speed * 0.1;
}

int32_t history_index(const ComputerPlayer* p, int32_t age) {
    return (p->newest - age + computer_history_length) % computer_history_length;
}

// A view `age` frames old, brought forward: the ball and the other player coast, our own
// player follows the bits given since.
ComputerView view_estimate(const ComputerPlayer* p, int32_t age) {
    ComputerView v = p->seen[history_index(p, age)];
    bool ball_in_play = true;
    for (int32_t i = age; i > 0; --i) {
        const double k = view_scale(p->seen[history_index(p, i)]);
        ComputerBody& own = own_body(v, p->side);
        body_steer_bits(own, p->sent[history_index(p, i)]);
        body_step(own, k, false);
        body_step(other_body(v, p->side), k, false);
        if (ball_in_play) {
            ball_in_play = body_step(v.ball, k, true) == 0;
        }
    }
    return v;
}

void view_remember(ComputerPlayer* p, const ComputerView& v) {
    if (p->last_frame < 0 || v.frame_count != p->last_frame + 1) {
        // A new match (or a jump): start the history and the generator afresh.
        p->seen_count = 0;
        p->random_state = static_cast<uint32_t>(v.frame_count) * 2u + static_cast<uint32_t>(p->side);
        p->aim_frames = 0;
    }
    p->last_frame = v.frame_count;
    p->newest = (p->newest + 1) % computer_history_length;
    p->seen[p->newest] = v;
    p->sent[p->newest] = 0;
    p->seen_count = std::min(p->seen_count + 1, computer_history_length);
    const double k = view_scale(v);
    if (k != 0) {
        p->frame_scale = k;
    }
}

void aim_update(ComputerPlayer* p) {
    if (p->aim_frames-- > 0) {
        return;
    }
    p->aim_frames = aim_hold_frames;
    const double spread = skills[p->skill - 1].aim_spread;
    p->aim_offset = (random_next(p) / 32767.0 * 2.0 - 1.0) * spread;
}

// --- The scene the plan works in: velocities turned so that k > 0 ---

struct Track {
    ComputerBody at[horizon + 1]; // the ball after each frame from now, at[0] now
    int32_t length;               // frames predicted
    int32_t goal;                 // goal code on the last predicted frame, or 0
};

struct Scene {
    ComputerBody me;
    ComputerBody ball;
    double k;
    int32_t our_goal; // the goal code that scores for us
    double aim_x;     // the ball's left edge we aim for, inside the opening
    Track track;
};

void track_ball(Track& t, const ComputerBody& ball, double k) {
    t.at[0] = ball;
    t.length = 0;
    t.goal = 0;
    while (t.length < horizon && t.goal == 0) {
        t.at[t.length + 1] = t.at[t.length];
        t.length++;
        t.goal = body_step(t.at[t.length], k, true);
    }
}

void body_turn(ComputerBody& b) {
    b.vx = -b.vx;
    b.vy = -b.vy;
}

// With a negative game speed the bodies move against their velocities: the plan works on
// turned velocities and the keys are swapped at the end.
void scene_make(Scene& s, const ComputerPlayer* p, ComputerView v, double k) {
    s.me = own_body(v, p->side);
    s.ball = v.ball;
    if (k < 0) {
        body_turn(s.me);
        body_turn(s.ball);
    }
    s.k = std::fabs(k);
    s.our_goal = p->side;
    s.aim_x = std::clamp((left_post + right_post - s.ball.w) / 2 + p->aim_offset, left_post,
                         right_post - s.ball.w);
    track_ball(s.track, s.ball, s.k);
}

int32_t scene_last_frame(const Scene& s) {
    return s.track.goal != 0 ? s.track.length - 1 : s.track.length;
}

// --- Reach: where a player can be after t frames, if it must then move at a given velocity ---

// The sum over s = n0..n1 of min(c + accel * s, top_speed).
double ramp_sum(double c, int32_t n0, int32_t n1) {
    if (n1 < n0) {
        return 0;
    }
    const double cap = std::floor((top_speed - c) / accel + 1e-9);
    const int32_t last = static_cast<int32_t>(std::clamp(cap, n0 - 1.0, static_cast<double>(n1)));
    const int32_t n = last - n0 + 1;
    return n * c + accel * (n0 + last) * n / 2 + (n1 - last) * top_speed;
}

// The largest sum of velocities over t frames that starts at v0 and ends at vt.
double reach_max(double v0, double vt, int32_t t) {
    const double meet = (vt - v0 + accel * t) / (2 * accel);
    const int32_t m = static_cast<int32_t>(std::clamp(std::floor(meet), 0.0, 1.0 * t));
    return ramp_sum(v0, 1, m) + ramp_sum(vt, 0, t - m - 1);
}

// How far inside what t frames can reach a displacement d lies (negative: out of reach), in
// velocity-frames. A free end lets the player arrive at any velocity.
double axis_margin(double v0, double vt, int32_t t, double d, bool free_end) {
    if (free_end) {
        return std::min(d + ramp_sum(-v0, 1, t), ramp_sum(v0, 1, t) - d);
    }
    const double margin = std::min(d + reach_max(-v0, -vt, t), reach_max(v0, vt, t) - d);
    const double gap = std::fabs(vt - v0) - accel * t - 0.05;
    return gap > 0 ? std::min(margin, -gap * 20) : margin;
}

// The key along one axis (-1, 0, +1) that keeps the plan most comfortably in reach.
int32_t axis_choice(double p, double v0, double target, double vt, int32_t t, double k,
                    bool free_end) {
    const double d = (target - p) / k;
    int32_t best = 0;
    double best_margin = -1e300;
    for (int32_t a : {0, 1, -1}) {
        const double v1 = speed_clamp(v0 + a * accel);
        const double margin = t <= 1 ? -std::fabs(d - v1) - (free_end ? 0 : 4 * std::fabs(vt - v1))
                                     : axis_margin(v1, vt, t - 1, d - v1, free_end);
        if (margin > best_margin) {
            best_margin = margin;
            best = a;
        }
    }
    return best;
}

// --- Plans: meet the ball at frame t, at a place, with a velocity ---

struct Plan {
    int32_t frames;
    double x, y;   // our top-left corner then
    double vx, vy; // our velocity then: the ball leaves with it
    bool free_end;
};

// The velocity that sends a ball at b into their opening, at `scale` of top speed.
void shot_velocity(const Scene& s, const ComputerBody& b, double scale, double& vx, double& vy) {
    const double gy = s.our_goal == 1 ? bottom_wall - b.h + 6 : top_bound - 6;
    const double ux = s.aim_x - b.x;
    const double uy = gy - b.y;
    const double n = std::max({std::fabs(ux), std::fabs(uy), 1e-9});
    vx = top_speed * scale * ux / n;
    vy = top_speed * scale * uy / n;
}

// Contact comes when the centres are closer than this on both axes.
double contact_reach(const Scene& s) {
    return (s.me.w + s.ball.w) / 2.0 - 2;
}

// Where our top-left should be to meet ball b at velocity (vx, vy): just inside contact
// range, on the side we come from, so that the touch happens at the planned frame.
void meeting_place(const Scene& s, const ComputerBody& b, Plan& plan) {
    double rx = plan.vx - b.vx;
    double ry = plan.vy - b.vy;
    const double n = std::max(std::fabs(rx), std::fabs(ry));
    const double reach = contact_reach(s);
    const double r = std::clamp(reach - s.k * n / 2, reach / 3, reach - 1);
    rx = n > 1e-6 ? rx / n : 0;
    ry = n > 1e-6 ? ry / n : 0;
    const double cx = b.x + b.w / 2.0 - rx * r;
    const double cy = b.y + b.h / 2.0 - ry * r;
    plan.x = std::clamp(cx - s.me.w / 2.0, left_bound, right_wall - s.me.w);
    plan.y = std::clamp(cy - s.me.h / 2.0, top_bound, bottom_wall - s.me.h);
}

bool plan_in_reach(const Scene& s, const Plan& plan) {
    const ComputerBody& me = s.me;
    return axis_margin(me.vx, plan.vx, plan.frames, (plan.x - me.x) / s.k, plan.free_end) >= 0 &&
           axis_margin(me.vy, plan.vy, plan.frames, (plan.y - me.y) / s.k, plan.free_end) >= 0;
}

bool plan_velocity_in_reach(const Scene& s, const Plan& plan) {
    const double slack = accel * plan.frames + 0.05;
    return std::fabs(plan.vx - s.me.vx) <= slack && std::fabs(plan.vy - s.me.vy) <= slack;
}

// The earliest frame up to `last` at which a shot at `scale` of top speed can be made.
bool plan_shot(const Scene& s, double scale, int32_t last, Plan& plan) {
    for (int32_t t = 1; t <= last; ++t) {
        const ComputerBody& b = s.track.at[t];
        plan = Plan{t, 0, 0, 0, 0, false};
        shot_velocity(s, b, scale, plan.vx, plan.vy);
        if (!plan_velocity_in_reach(s, plan)) {
            continue;
        }
        meeting_place(s, b, plan);
        if (plan_in_reach(s, plan)) {
            return true;
        }
    }
    return false;
}

// The earliest touch of any kind, for a ball on its way into our own opening.
bool plan_block(const Scene& s, int32_t last, Plan& plan) {
    for (int32_t t = 1; t <= last; ++t) {
        const ComputerBody& b = s.track.at[t];
        plan = Plan{t, 0, 0, 0, 0, true};
        plan.x = std::clamp(b.x + (b.w - s.me.w) / 2.0, left_bound, right_wall - s.me.w);
        plan.y = std::clamp(b.y + (b.h - s.me.h) / 2.0, top_bound, bottom_wall - s.me.h);
        if (plan_in_reach(s, plan)) {
            return true;
        }
    }
    return false;
}

// A slower shot is worth it only when it comes clearly sooner.
constexpr int32_t slow_shot_gain = 12;

void plan_find(const Scene& s, Plan& plan) {
    const int32_t last = std::max(scene_last_frame(s), 1);
    if (s.track.goal == s.our_goal) {
        plan = Plan{30, s.me.x, s.me.y, 0, 0, false}; // it goes in by itself: stay clear
        return;
    }
    Plan fast;
    const bool fast_found = plan_shot(s, 1.0, last, fast);
    const int32_t slow_last = fast_found ? fast.frames - slow_shot_gain : last;
    if (plan_shot(s, 0.5, slow_last, plan)) {
        return;
    }
    if (fast_found) {
        plan = fast;
        return;
    }
    if (s.track.goal != 0 && plan_block(s, last, plan)) {
        return;
    }
    plan = Plan{last, 0, 0, 0, 0, false};
    shot_velocity(s, s.track.at[last], 1.0, plan.vx, plan.vy);
    meeting_place(s, s.track.at[last], plan);
}

// --- A last look at the next frames: no touch that puts the ball into our own opening ---

// 1 when a ball at b sent off at (vx, vy) goes into their opening, -1 into ours, else 0.
int32_t shot_worth(const Scene& s, const ComputerBody& b, double vx, double vy) {
    ComputerBody ball = b;
    ball.vx = vx;
    ball.vy = vy;
    for (int32_t f = 0; f < shot_lookahead; ++f) {
        const int32_t goal = body_step(ball, s.k, true);
        if (goal != 0) {
            return goal == s.our_goal ? 1 : -1;
        }
    }
    return 0;
}

bool touching(const ComputerBody& me, const ComputerBody& ball) {
    const double xi = std::trunc(ball.x);
    const double yi = std::trunc(ball.y);
    return xi + ball.w - 2 > me.x && me.x + me.w > xi + 2 && yi + ball.h - 2 > me.y &&
           me.y + me.h > yi + 2;
}

int32_t track_worth(const Scene& s) {
    if (s.track.goal == 0) {
        return 0;
    }
    return s.track.goal == s.our_goal ? 1 : -1;
}

// What the next frames bring if we keep the velocity that keys (ax, ay) give now: the worth
// of the touch we make, or of the ball's own course without one.
int32_t action_worth(const Scene& s, int32_t ax, int32_t ay) {
    ComputerBody me = s.me;
    me.vx += ax * accel;
    me.vy += ay * accel;
    const int32_t frames = std::min(contact_lookahead, scene_last_frame(s));
    for (int32_t f = 1; f <= frames; ++f) {
        body_step(me, s.k, false);
        if (touching(me, s.track.at[f])) {
            return shot_worth(s, s.track.at[f], me.vx, me.vy);
        }
    }
    return track_worth(s);
}

void action_check(const Scene& s, int32_t& ax, int32_t& ay) {
    int32_t best = action_worth(s, ax, ay);
    int32_t best_x = ax;
    int32_t best_y = ay;
    int32_t best_change = 0;
    for (int32_t x = -1; x <= 1; ++x) {
        for (int32_t y = -1; y <= 1; ++y) {
            const int32_t change = std::abs(x - ax) + std::abs(y - ay);
            if (change == 0) {
                continue;
            }
            const int32_t worth = action_worth(s, x, y);
            if (worth > best || (worth == best && change < best_change && best_change > 0)) {
                best = worth;
                best_x = x;
                best_y = y;
                best_change = change;
            }
        }
    }
    ax = best_x;
    ay = best_y;
}

uint8_t bits_of(int32_t ax, int32_t ay, bool turned) {
    if (turned) {
        ax = -ax;
        ay = -ay;
    }
    uint8_t bits = 0;
    bits |= ax < 0 ? steer_left : ax > 0 ? steer_right : 0;
    bits |= ay < 0 ? steer_up : ay > 0 ? steer_down : 0;
    return bits;
}

uint8_t steer_decide(const ComputerPlayer* p, const ComputerView& v) {
    const double k = p->frame_scale;
    if (!(std::fabs(k) > 1e-9)) {
        return 0; // nothing moves: nothing to steer
    }
    Scene s;
    scene_make(s, p, v, k);
    Plan plan;
    plan_find(s, plan);
    int32_t ax = axis_choice(s.me.x, s.me.vx, plan.x, plan.vx, plan.frames, s.k, plan.free_end);
    int32_t ay = axis_choice(s.me.y, s.me.vy, plan.y, plan.vy, plan.frames, s.k, plan.free_end);
    action_check(s, ax, ay);
    return bits_of(ax, ay, k < 0);
}

} // namespace

void computer_player_start(ComputerPlayer* player, int32_t side, int32_t skill) {
    if (player == nullptr) {
        return;
    }
    *player = ComputerPlayer{};
    player->side = side == 2 ? 2 : 1;
    player->skill = std::clamp(skill, 1, 3);
    player->last_frame = -1;
    player->frame_scale = 1.6;
}

uint8_t computer_player_steer(ComputerPlayer* player, const ComputerView& view) {
    if (player == nullptr) {
        return 0;
    }
    view_remember(player, view);
    aim_update(player);
    const int32_t age = std::min(skills[player->skill - 1].delay, player->seen_count - 1);
    const uint8_t bits = steer_decide(player, view_estimate(player, age));
    player->sent[player->newest] = bits;
    return bits;
}
