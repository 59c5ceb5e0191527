// The thread that delivers live frames 30 times per second. It runs only while
// some open reader wants live frames and ends by itself when none does; wake()
// starts it again. Frames are scheduled on absolute times from the start of a
// run, so the rate does not drift, and a late frame makes the thread skip
// ahead instead of catching up in a burst.
#pragma once

#include "runtime2/KinectRuntime.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace plexa::virtual2 {

class LiveFrameSink {
public:
    // The sources the open live readers want; false when none wants frames.
    virtual bool liveFramesWanted(DWORD& sources) = 0;
    // Renders the moment `due` for `sources` and hands it to the readers.
    virtual void produceLiveFrame(std::chrono::steady_clock::time_point due, DWORD sources) = 0;

protected:
    ~LiveFrameSink() = default;
};

class LiveProducer {
public:
    explicit LiveProducer(LiveFrameSink& sink) : sink_(sink) {}

    // Something that decides whether live frames are wanted has changed;
    // `framesWanted` is the caller's view of it now. A running thread looks
    // again (and ends when nothing is wanted); a stopped one is started only
    // when frames are wanted. May be called with the caller's own locks held:
    // the thread never calls the sink while holding the producer's lock.
    void wake(bool framesWanted);

private:
    void run();

    LiveFrameSink& sink_;
    std::mutex mutex_;
    std::condition_variable wakeUp_;
    bool running_ = false;
    bool wakeRequested_ = false;
};

}  // namespace plexa::virtual2
