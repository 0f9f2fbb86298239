#include "app/match_run.h"

#include "app/match_carry.h"
#include "net/net_session.h"
#include "record/recording.h"

namespace {

void frame_watch(const MatchWatch& watch, const MatchState& state) {
    if (watch.writer != nullptr) {
        recording_write_frame(watch.writer, &state.record);
    }
    const uint32_t frame = static_cast<uint32_t>(match.frame_counter - 1);
    if (watch.net != nullptr && net_hash_due(frame)) {
        net_session_send_hash(*watch.net, frame, match_state_hash(state));
    }
}

} // namespace

FrameResult match_run(const MatchInput& input, const MatchWatch& watch) {
    if (watch.writer != nullptr) {
        const MatchCarry carry = match_carry_capture();
        recording_write_match_start(watch.writer, &carry);
    }
    MatchState state{};
    if (watch.state_out != nullptr) {
        *watch.state_out = &state;
    }
    match_begin(state, input);
    FrameResult result = FrameResult::next;
    while (result == FrameResult::next) {
        result = match_frame(state, input);
        // A won or stopped match ends at the top of a frame, before any record is read.
        if (result == FrameResult::next || result == FrameResult::quit) {
            frame_watch(watch, state);
        }
    }
    if (watch.writer != nullptr) {
        recording_write_match_end(watch.writer, result == FrameResult::won    ? MatchEnd::finished
                                                : result == FrameResult::quit ? MatchEnd::escaped
                                                                              : MatchEnd::stopped);
    }
    if (result == FrameResult::won) {
        match_end(state, input);
    }
    if (watch.state_out != nullptr) {
        *watch.state_out = nullptr;
    }
    return result;
}
