#include "SessionSkeleton.h"

#include "JavaBinding.h"

#include <cstdio>

namespace plexa {
namespace {

thread_local bool isEventThread = false;

}  // namespace

bool onEventThread() { return isEventThread; }

SessionSkeleton::SessionSkeleton() : java_(std::make_unique<JavaBinding>()) {}

SessionSkeleton::~SessionSkeleton() = default;

HRESULT SessionSkeleton::startEventThread(HRESULT noStopEvent) {
    // Auto-reset: the wait that sees it consumes it.
    stopEvent_.reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    if (!stopEvent_) return noStopEvent;
    eventThread_.reset(CreateThread(nullptr, 0, &SessionSkeleton::eventThreadMain, this, 0, nullptr));
    if (!eventThread_) {
        stopEvent_.reset();
        return E_FAIL;
    }
    threadRunning_ = true;
    return S_OK;
}

void SessionSkeleton::printStartFailure(const char* message) {
    std::printf("%s", message);
    std::fflush(stdout);
}

void SessionSkeleton::printCannotInitialize(HRESULT result) {
    std::printf("%d", static_cast<int>(result));
    printStartFailure("Cannot initialize the Kinect device.\nCheck if it is connected and powered.");
}

DWORD WINAPI SessionSkeleton::eventThreadMain(LPVOID parameter) {
    isEventThread = true;
    auto& session = *static_cast<SessionSkeleton*>(parameter);
    session.runEventLoop(session.stopEvent_.get());
    {
        std::lock_guard<std::mutex> lock(session.mutex_);
        session.threadRunning_ = false;
        if (session.shutdown_ != Shutdown::LeftToEventThread) return 0;
    }
    // The loop has ended, which is all that waiting for the thread would
    // ensure. Closing its own handle lets the thread finish by itself.
    session.release(false, false);
    return 0;
}

bool SessionSkeleton::takeStop(bool waitForStopUnderWay) {
    const bool eventThread = onEventThread();
    std::unique_lock<std::mutex> lock(mutex_);
    switch (shutdown_) {
        case Shutdown::Done: return false;
        case Shutdown::LeftToEventThread:
        case Shutdown::InProgress:
            // A Java thread's stop returns once the session has ended. An
            // event thread never waits, and neither does a replacement.
            if (!eventThread && waitForStopUnderWay) {
                changed_.wait(lock, [this] { return shutdown_ == Shutdown::Done; });
            }
            return false;
        case Shutdown::NotRequested: break;
    }
    if (threadRunning_ && eventThread) {
        // Waiting here could be waiting for this very thread. Signalled under
        // the lock: the thread cannot close the event before it sees the request.
        shutdown_ = Shutdown::LeftToEventThread;
        SetEvent(stopEvent_.get());
        return false;
    }
    shutdown_ = Shutdown::InProgress;
    return true;
}

void SessionSkeleton::release(bool replaced, bool endThread) {
    if (endThread && stopEvent_) {
        SetEvent(stopEvent_.get());
        if (eventThread_) WaitForSingleObject(eventThread_.get(), INFINITE);
    }
    eventThread_.reset();
    stopEvent_.reset();
    releaseStreams(replaced);
    java_->release();
    // Notified under the lock: once hasEnded() can see Done, the session may
    // be freed, and nothing of it may be touched after the lock is let go.
    std::lock_guard<std::mutex> lock(mutex_);
    shutdown_ = Shutdown::Done;
    changed_.notify_all();
}

void SessionSkeleton::Nui_AwaitStopUnderWay() {
    if (onEventThread()) return;
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return shutdown_ == Shutdown::NotRequested || shutdown_ == Shutdown::Done; });
}

bool SessionSkeleton::hasEnded() {
    std::lock_guard<std::mutex> lock(mutex_);
    return shutdown_ == Shutdown::Done;
}

}  // namespace plexa
