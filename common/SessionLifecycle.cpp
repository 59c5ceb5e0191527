#include "SessionLifecycle.h"

namespace plexa {

SessionLifecycle::StopRoute SessionLifecycle::requestStop(bool onEventThread, const HandleOwner& stopEvent) {
    return route(onEventThread, true, stopEvent);
}

SessionLifecycle::StopRoute SessionLifecycle::requestStopForReplacement(bool onEventThread,
                                                                        const HandleOwner& stopEvent) {
    return route(onEventThread, false, stopEvent);
}

SessionLifecycle::StopRoute SessionLifecycle::route(bool onEventThread, bool waitForStopUnderWay,
                                                    const HandleOwner& stopEvent) {
    std::unique_lock<std::mutex> lock(mutex_);
    switch (shutdown_) {
        case Shutdown::Done:
            return StopRoute::Nothing;
        case Shutdown::LeftToEventThread:
        case Shutdown::InProgress:
            // A Java thread's stop returns once the session has ended. An
            // event thread never waits, and neither does a replacement.
            if (!onEventThread && waitForStopUnderWay) {
                changed_.wait(lock, [this] { return shutdown_ == Shutdown::Done; });
            }
            return StopRoute::Nothing;
        case Shutdown::NotRequested:
            break;
    }
    if (threadRunning_ && onEventThread) {
        // Waiting here could be waiting for this very thread. Signalled under
        // the lock: the thread cannot close the event before it sees the request.
        shutdown_ = Shutdown::LeftToEventThread;
        SetEvent(stopEvent.get());
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
    // Notified under the lock: once hasEnded() can see Done, the session may
    // be freed, and nothing of it may be touched after the lock is let go.
    std::lock_guard<std::mutex> lock(mutex_);
    shutdown_ = Shutdown::Done;
    changed_.notify_all();
}

bool SessionLifecycle::hasEnded() {
    std::lock_guard<std::mutex> lock(mutex_);
    return shutdown_ == Shutdown::Done;
}

void SessionLifecycle::awaitStopUnderWay(bool onEventThread) {
    if (onEventThread) return;
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return shutdown_ == Shutdown::NotRequested || shutdown_ == Shutdown::Done; });
}

}  // namespace plexa
