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
    Clock::time_point nextDue() {
        return start_ + std::chrono::duration_cast<Clock::duration>(
                            std::chrono::nanoseconds(++frame_ * 1'000'000'000 / framesPerSecond));
    }
    // Called once the frame due at `dueAt` is done, at `now`.
    void frameDone(Clock::time_point dueAt, Clock::time_point now) {
        if (now - dueAt > stallLimit) skipPast(now);
    }
    // The next frame due is the first one on the grid after `now`.
    void skipPast(Clock::time_point now) {
        if (now < start_) return;
        frame_ = std::chrono::duration_cast<std::chrono::nanoseconds>(now - start_).count() * framesPerSecond /
                 1'000'000'000;
    }

private:
    Clock::time_point start_;
    std::int64_t frame_ = 0;
};

}  // namespace plexa::virtual1
