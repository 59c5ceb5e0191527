#include "FramePacer.h"

namespace plexa::virtual1 {

FramePacer::Clock::time_point FramePacer::dueTime(Clock::time_point start, std::int64_t frame) {
    return start + std::chrono::duration_cast<Clock::duration>(
                       std::chrono::nanoseconds(frame * 1'000'000'000 / framesPerSecond));
}

FramePacer::Clock::time_point FramePacer::nextDue() { return dueTime(start_, ++frame_); }

void FramePacer::frameDone(Clock::time_point dueAt, Clock::time_point now) {
    if (now - dueAt > stallLimit) skipPast(now);
}

void FramePacer::skipPast(Clock::time_point now) {
    if (now < start_) return;
    const auto elapsed = std::chrono::duration_cast<std::chrono::nanoseconds>(now - start_).count();
    frame_ = elapsed * framesPerSecond / 1'000'000'000;
}

}  // namespace plexa::virtual1
