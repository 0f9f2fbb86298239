#include "computer/computer_player.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr double accel = 0.1; // velocity change of one held key in one frame
constexpr double top_speed = 3.5;
constexpr int32_t horizon = 96;          // frames of the ball's course looked ahead
constexpr int32_t contact_lookahead = 8; // frames checked for a touch the plan did not mean
constexpr int32_t shot_lookahead = 64;   // frames a struck ball is followed
constexpr int32_t aim_hold_frames = 40;  // how long one aim is kept
constexpr double usual_frame_ms = 16;    // assumed until a frame has moved the bodies
constexpr double slow_ball = 1.0;        // below this speed the ball may lie where no shot
constexpr int32_t slow_patience = 90;    // can be made: after so many frames, just hit it

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
constexpr Skill skills[3] = {{14, 18.0}, {5, 6.0}, {2, 3.0}};

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
    v.frame_count = p->last_frame;
    return v;
}

double finite_or_zero(double value, double limit) {
    return std::isfinite(value) ? std::clamp(value, -limit, limit) : 0.0;
}

void body_sanitize(ComputerBody& b) {
    b.x = finite_or_zero(b.x, 1000);
    b.y = finite_or_zero(b.y, 1000);
    b.vx = finite_or_zero(b.vx, 100);
    b.vy = finite_or_zero(b.vy, 100);
    b.w = std::clamp(b.w, 1, 100);
    b.h = std::clamp(b.h, 1, 100);
}

// Whatever fills the view, the plan only ever sees finite numbers of sane size.
ComputerView view_sanitize(ComputerView v) {
    body_sanitize(v.red);
    body_sanitize(v.green);
    body_sanitize(v.ball);
    v.game_speed = finite_or_zero(v.game_speed, 1000);
    v.elapsed_ms = std::clamp(v.elapsed_ms, 0, 10000);
    return v;
}

void view_remember(ComputerPlayer* p, const ComputerView& v) {
    const ComputerView& last = p->seen[p->newest];
    if (p->last_frame < 0 || v.frame_count != p->last_frame + 1 ||
        v.side1_score != last.side1_score || v.side2_score != last.side2_score) {
        // A new match, or a kick-off after the pause of a goal: the views before it mean
        // nothing now. Each kick-off draws afresh, so matches that part ways part their aims.
        p->seen_count = 0;
        p->random_state = static_cast<uint32_t>(v.frame_count) * 0x9E3779B9u ^
                          static_cast<uint32_t>(p->side) * 0x85EBCA6Bu;
        p->aim_frames = 0;
        p->plan_touch = 0;
        p->slow_frames = 0;
    }
    const bool slow = std::fabs(v.ball.vx) + std::fabs(v.ball.vy) < slow_ball;
    p->slow_frames = slow ? p->slow_frames + 1 : 0;
    p->last_frame = v.frame_count;
    p->newest = (p->newest + 1) % computer_history_length;
    p->seen[p->newest] = v;
    p->sent[p->newest] = 0;
    p->seen_count = std::min(p->seen_count + 1, computer_history_length);
    // A frame that moves nothing (the first of a match) tells nothing of the frames to come.
    const double k = view_scale(v);
    if (k != 0 || p->seen_count == 1) {
        p->frame_scale = k != 0 ? k : usual_frame_ms * v.game_speed * 0.1;
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

bool touching(const ComputerBody& player, const ComputerBody& ball) {
    const double xi = std::trunc(ball.x);
    const double yi = std::trunc(ball.y);
    return xi + ball.w - 2 > player.x && player.x + player.w > xi + 2 &&
           yi + ball.h - 2 > player.y && player.y + player.h > yi + 2;
}

// The ball's course as far as it can be seen: it coasts and bounces, and if the other player,
// coasting too, runs into it, the two swap velocities as the pitch makes them.
void track_ball(Track& t, const ComputerBody& ball, ComputerBody other, double k) {
    t.at[0] = ball;
    t.length = 0;
    t.goal = 0;
    bool touched = false;
    while (t.length < horizon && t.goal == 0) {
        ComputerBody& b = t.at[t.length + 1];
        b = t.at[t.length];
        t.length++;
        body_step(other, k, false);
        t.goal = body_step(b, k, true);
        if (!touched && touching(other, b)) {
            std::swap(b.vx, other.vx);
            std::swap(b.vy, other.vy);
            touched = true;
        }
    }
}

void body_turn(ComputerBody& b) {
    b.vx = -b.vx;
    b.vy = -b.vy;
}

// With a negative game speed the bodies move against their velocities: the plan works on
// turned velocities and the keys are swapped at the end.
void scene_make(Scene& s, int32_t side, double aim_offset, ComputerView v, double k) {
    s.me = own_body(v, side);
    s.ball = v.ball;
    ComputerBody other = other_body(v, side);
    if (k < 0) {
        body_turn(s.me);
        body_turn(s.ball);
        body_turn(other);
    }
    s.k = std::fabs(k);
    s.our_goal = side;
    s.aim_x = std::clamp((left_post + right_post - s.ball.w) / 2 + aim_offset, left_post,
                         right_post - s.ball.w);
    track_ball(s.track, s.ball, other, s.k);
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

enum class Touch : int32_t {
    none,      // no touch planned: keep clear, or head for where the ball will be
    shot,      // into their opening at top speed
    slow_shot, // the same at half speed, which is sooner to reach
    clear,     // away from our opening
    stop,      // standing in the ball's way: it stops dead
    any,       // the soonest touch of any kind
};

struct Plan {
    Touch touch;
    int32_t frames;
    double x, y;   // our top-left corner then
    double vx, vy; // our velocity then, unless any will do: the ball leaves with it
};

// The velocity a touch of this kind leaves the ball at b with.
void touch_velocity(const Scene& s, const ComputerBody& b, Plan& plan) {
    const double away = s.our_goal == 1 ? 1 : -1;
    plan.vx = 0;
    plan.vy = plan.touch == Touch::clear ? away * top_speed / 2 : 0;
    if (plan.touch == Touch::shot || plan.touch == Touch::slow_shot) {
        const double gy = s.our_goal == 1 ? bottom_wall - b.h + 6 : top_bound - 6;
        const double ux = s.aim_x - b.x;
        const double uy = gy - b.y;
        const double n = std::max({std::fabs(ux), std::fabs(uy), 1e-9});
        const double speed = plan.touch == Touch::shot ? top_speed : top_speed / 2;
        plan.vx = speed * ux / n;
        plan.vy = speed * uy / n;
    }
}

// How far a wall may push the meeting place before the shot counts as blocked.
constexpr double wall_slack = 3;

// Contact comes when the centres are closer than this on both axes.
double contact_reach(const Scene& s) {
    return (s.me.w + s.ball.w) / 2.0 - 2;
}

// Where our top-left should be to meet ball b at the planned velocity: just inside contact
// range, on the side we come from, so that the touch happens at the planned frame. False
// when a wall stands where we would have to come from.
bool meeting_place(const Scene& s, const ComputerBody& b, Plan& plan) {
    double rx = plan.vx - b.vx;
    double ry = plan.vy - b.vy;
    const double n = std::max(std::fabs(rx), std::fabs(ry));
    const double reach = contact_reach(s);
    const double r = std::clamp(reach - s.k * n / 2, reach / 3, reach - 1);
    rx = n > 1e-6 && plan.touch != Touch::any ? rx / n : 0;
    ry = n > 1e-6 && plan.touch != Touch::any ? ry / n : 0;
    const double x = b.x + (b.w - s.me.w) / 2.0 - rx * r;
    const double y = b.y + (b.h - s.me.h) / 2.0 - ry * r;
    plan.x = std::clamp(x, left_bound, right_wall - s.me.w);
    plan.y = std::clamp(y, top_bound, bottom_wall - s.me.h);
    return std::fabs(plan.x - x) < wall_slack && std::fabs(plan.y - y) < wall_slack;
}

bool plan_in_reach(const Scene& s, const Plan& plan, double slack) {
    const ComputerBody& me = s.me;
    const bool free_end = plan.touch == Touch::any;
    const double dx = (plan.x - me.x) / s.k;
    const double dy = (plan.y - me.y) / s.k;
    return axis_margin(me.vx, plan.vx, plan.frames, dx, free_end) >= -slack &&
           axis_margin(me.vy, plan.vy, plan.frames, dy, free_end) >= -slack;
}

bool plan_velocity_in_reach(const Scene& s, const Plan& plan, double slack) {
    const double most = accel * plan.frames + 0.05 + slack;
    return plan.touch == Touch::any ||
           (std::fabs(plan.vx - s.me.vx) <= most && std::fabs(plan.vy - s.me.vy) <= most);
}

int32_t shot_worth(const Scene& s, const ComputerBody& b, double vx, double vy);

// The plan for a touch of this kind at frame t, if that is in reach (give or take slack).
bool plan_at(const Scene& s, Touch touch, int32_t t, double slack, Plan& plan) {
    const ComputerBody& b = s.track.at[t];
    plan = Plan{touch, t, 0, 0, 0, 0};
    touch_velocity(s, b, plan);
    const bool placed = meeting_place(s, b, plan) || touch == Touch::any;
    return placed && plan_velocity_in_reach(s, plan, slack) && plan_in_reach(s, plan, slack) &&
           (touch == Touch::any || shot_worth(s, b, plan.vx, plan.vy) >= 0);
}

// The earliest frame up to `last` at which a touch of this kind can be made.
bool plan_touch(const Scene& s, Touch touch, int32_t last, Plan& plan) {
    for (int32_t t = 1; t <= last; ++t) {
        if (plan_at(s, touch, t, 0, plan)) {
            return true;
        }
    }
    return false;
}

// A slower shot is worth it only when it comes clearly sooner.
constexpr int32_t slow_shot_gain = 60;

bool plan_shot(const Scene& s, int32_t last, Plan& plan) {
    Plan fast;
    const bool fast_found = plan_touch(s, Touch::shot, last, fast);
    const int32_t slow_last = fast_found ? fast.frames - slow_shot_gain : last;
    if (plan_touch(s, Touch::slow_shot, slow_last, plan)) {
        return true;
    }
    plan = fast;
    return fast_found;
}

// No shot in time: clear the ball or stop it, whichever comes sooner.
bool plan_defend(const Scene& s, int32_t last, Plan& plan) {
    Plan clear;
    const bool clear_found = plan_touch(s, Touch::clear, last, clear);
    if (plan_touch(s, Touch::stop, clear_found ? clear.frames - 1 : last, plan)) {
        return true;
    }
    plan = clear;
    return clear_found;
}

// How far out of reach last frame's plan may drift before it is given up: the reach is
// reckoned without the steps of 0.1, so a plan on its edge wavers around it.
constexpr double keep_slack = 0.5;

// Last frame's plan, when it still holds: planning afresh each frame from the edge of reach
// can put the touch off by a frame, every frame.
bool plan_keep(const Scene& s, const ComputerPlayer* p, int32_t last, Plan& plan) {
    const int32_t t = p->plan_frame - p->last_frame;
    const auto touch = static_cast<Touch>(p->plan_touch);
    return touch != Touch::none && t >= 1 && t <= last && plan_at(s, touch, t, keep_slack, plan);
}

void plan_find(const Scene& s, const ComputerPlayer* p, Plan& plan) {
    const int32_t last = std::max(scene_last_frame(s), 1);
    if (s.track.goal == s.our_goal) {
        plan = Plan{Touch::none, 30, s.me.x, s.me.y, 0, 0}; // it goes in by itself: stay clear
        return;
    }
    if (p->slow_frames > slow_patience && plan_touch(s, Touch::any, last, plan)) {
        return;
    }
    if (plan_keep(s, p, last, plan) || plan_shot(s, last, plan) || plan_defend(s, last, plan) ||
        plan_touch(s, Touch::any, last, plan)) {
        return;
    }
    plan = Plan{Touch::shot, last, 0, 0, 0, 0};
    touch_velocity(s, s.track.at[last], plan);
    meeting_place(s, s.track.at[last], plan);
    plan.touch = Touch::none;
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
            // Putting it in ourselves is worse than a ball that is going in anyway: that
            // one may still be stopped, and the course it is on may rest on the other
            // player coasting into it.
            const int32_t worth = shot_worth(s, s.track.at[f], me.vx, me.vy);
            return worth < 0 ? -2 : worth;
        }
    }
    return track_worth(s);
}

// The planned keys, unless other keys make a better touch in the next frames or keep clear of
// a worse one; among keys worth the same, those nearest the plan.
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

// --- The race: when the other player can shoot first, guard our opening instead ---

// How much sooner than ours their shot must come, in frames, before we guard instead.
constexpr int32_t guard_margin = 5;
constexpr double guard_distance = 30; // pixels from the ball towards the middle of our opening

// Where to wait, still, between the ball at b and our opening.
Plan guard_plan(const Scene& s, const ComputerBody& b, int32_t frames) {
    const double bx = b.x + b.w / 2.0;
    const double by = b.y + b.h / 2.0;
    const double dx = (left_post + right_post) / 2.0 - bx;
    const double dy = (s.our_goal == 1 ? top_bound : bottom_wall) - by;
    const double n = std::max(std::hypot(dx, dy), 1e-9);
    const double d = std::min(guard_distance, n / 2);
    Plan g{Touch::none, std::max(frames, 1), 0, 0, 0, 0};
    g.x = std::clamp(bx + dx / n * d - s.me.w / 2.0, left_bound, right_wall - s.me.w);
    g.y = std::clamp(by + dy / n * d - s.me.h / 2.0, top_bound, bottom_wall - s.me.h);
    return g;
}

// The kick-off leaves both players drifting towards one opening, so the side it drifts away
// from is often second to the ball: a shot that comes later than theirs loses the race.
void guard_check(const Scene& s, const ComputerPlayer* p, const ComputerView& v, double k,
                 Plan& plan) {
    if (plan.touch != Touch::shot && plan.touch != Touch::slow_shot && plan.touch != Touch::any) {
        return;
    }
    Scene rival;
    scene_make(rival, 3 - p->side, 0, v, k);
    Plan theirs;
    if (rival.track.goal == 0 && plan_shot(rival, std::max(scene_last_frame(rival), 1), theirs) &&
        theirs.frames + guard_margin < plan.frames) {
        plan = guard_plan(s, rival.track.at[theirs.frames], theirs.frames);
    }
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

uint8_t steer_decide(ComputerPlayer* p, const ComputerView& v) {
    const double k = p->frame_scale;
    if (!(std::fabs(k) > 1e-9)) {
        return 0; // nothing moves: nothing to steer
    }
    Scene s;
    scene_make(s, p->side, p->aim_offset, v, k);
    Plan plan;
    plan_find(s, p, plan);
    guard_check(s, p, v, k, plan);
    p->plan_touch = static_cast<int32_t>(plan.touch);
    p->plan_frame = p->last_frame + plan.frames;
    const bool free_end = plan.touch == Touch::any;
    int32_t ax = axis_choice(s.me.x, s.me.vx, plan.x, plan.vx, plan.frames, s.k, free_end);
    int32_t ay = axis_choice(s.me.y, s.me.vy, plan.y, plan.vy, plan.frames, s.k, free_end);
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
    player->frame_scale = usual_frame_ms * 0.1;
}

uint8_t computer_player_steer(ComputerPlayer* player, const ComputerView& view) {
    if (player == nullptr) {
        return 0;
    }
    view_remember(player, view_sanitize(view));
    aim_update(player);
    const int32_t age = std::min(skills[player->skill - 1].delay, player->seen_count - 1);
    const uint8_t bits = steer_decide(player, view_estimate(player, age));
    player->sent[player->newest] = bits;
    return bits;
}
