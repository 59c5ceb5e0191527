#include "SessionSkeleton.h"

#include "JavaBinding.h"

namespace plexa {
namespace {

thread_local bool isEventThread = false;

}  // namespace

bool onEventThread() { return isEventThread; }

SessionSkeleton::SessionSkeleton() : java_(std::make_unique<JavaBinding>()) {}

// Runs only once the session has ended and nothing can reach it.
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
    lifecycle_.eventThreadCreated();
    return S_OK;
}

DWORD WINAPI SessionSkeleton::eventThreadMain(LPVOID parameter) {
    isEventThread = true;
    auto& session = *static_cast<SessionSkeleton*>(parameter);
    session.runEventLoop(session.stopEvent_.get());
    session.finishStopOnEventThread();
    return 0;
}

void SessionSkeleton::Nui_UnInit() {
    if (lifecycle_.requestStop(onEventThread(), stopEvent_) == SessionLifecycle::StopRoute::ByCaller) {
        stopByCaller(false);
    }
}

void SessionSkeleton::Nui_StopReplaced() {
    if (lifecycle_.requestStopForReplacement(onEventThread(), stopEvent_) == SessionLifecycle::StopRoute::ByCaller) {
        stopByCaller(true);
    }
}

void SessionSkeleton::stopByCaller(bool replaced) {
    if (stopEvent_) {
        SetEvent(stopEvent_.get());
        if (eventThread_) WaitForSingleObject(eventThread_.get(), INFINITE);
    }
    eventThread_.reset();
    stopEvent_.reset();
    releaseStreams(replaced);
    java_->release();
    lifecycle_.stopDone();
}

void SessionSkeleton::finishStopOnEventThread() {
    if (!lifecycle_.eventThreadEnding()) return;
    // The loop has ended, which is all that waiting for the thread would
    // ensure. Closing its own handle lets the thread finish by itself.
    eventThread_.reset();
    stopEvent_.reset();
    releaseStreams(false);
    java_->release();
    lifecycle_.stopDone();
}

}  // namespace plexa
