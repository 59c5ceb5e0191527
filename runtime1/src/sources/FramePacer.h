// The clock of a source that films or plays at the sensor's frame rate: frame
// n falls due at start + n/30 s, so the rate does not drift with the time each
// frame takes. After a stall (a suspended process, a starved machine) the
// pacer skips to the next frame due after now instead of delivering the missed
// ones in a burst, and stays on its grid, so sources started from one start
// time keep filming the same moments.
#pragma once

#include <chrono>
#include <cstdint>

namespace plexa::virtual1 {

class FramePacer {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr int framesPerSecond = 30;
    // How late a frame may fall before the pacer skips ahead.
    static constexpr std::chrono::milliseconds stallLimit{200};

    explicit FramePacer(Clock::time_point start) : start_(start) {}

    // When the next frame is due; the first is one period after the start.
    Clock::time_point nextDue();
    // Called once the frame due at `dueAt` is done, at `now`.
    void frameDone(Clock::time_point dueAt, Clock::time_point now);
    // The next frame due is the first one on the grid after `now`.
    void skipPast(Clock::time_point now);

    // The time of frame `frame` on the grid that starts at `start`.
    static Clock::time_point dueTime(Clock::time_point start, std::int64_t frame);

private:
    Clock::time_point start_;
    std::int64_t frame_ = 0;
};

}  // namespace plexa::virtual1
