#include "SessionLifecycle.h"

namespace plexa {

SessionLifecycle::StopRoute SessionLifecycle::requestStop(bool onEventThread, const HANDLE& stopEvent) {
    return route(onEventThread, false, stopEvent);
}

SessionLifecycle::StopRoute SessionLifecycle::requestStopUnlessRunning(bool onEventThread,
                                                                       const HANDLE& stopEvent) {
    return route(onEventThread, true, stopEvent);
}

SessionLifecycle::StopRoute SessionLifecycle::route(bool onEventThread, bool leaveRunning, const HANDLE& stopEvent) {
    std::unique_lock<std::mutex> lock(mutex_);
    switch (shutdown_) {
        case Shutdown::Done:
            return StopRoute::Nothing;
        case Shutdown::LeftToEventThread:
        case Shutdown::InProgress:
            // A Java thread's stop returns once the session has ended. An
            // event thread never waits, and neither does a replacement.
            if (!onEventThread && !leaveRunning) changed_.wait(lock, [this] { return shutdown_ == Shutdown::Done; });
            return StopRoute::Nothing;
        case Shutdown::NotRequested:
            break;
    }
    if (leaveRunning && threadRunning_) return StopRoute::Nothing;
    if (threadRunning_ && onEventThread) {
        // Waiting here could be waiting for this very thread. Signalled under
        // the lock: the thread cannot close the event before it sees the request.
        shutdown_ = Shutdown::LeftToEventThread;
        SetEvent(stopEvent);
        return StopRoute::LeftToThread;
    }
    shutdown_ = Shutdown::InProgress;
    return StopRoute::ByCaller;
}

bool SessionLifecycle::eventThreadEnding() {
    std::lock_guard<std::mutex> lock(mutex_);
    threadRunning_ = false;
    return shutdown_ == Shutdown::LeftToEventThread;
}

void SessionLifecycle::stopDone() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        shutdown_ = Shutdown::Done;
    }
    changed_.notify_all();
}

void SessionLifecycle::awaitStopUnderWay(bool onEventThread) {
    if (onEventThread) return;
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] {
        return shutdown_ == Shutdown::NotRequested || shutdown_ == Shutdown::Done;
    });
}

}  // namespace plexa
