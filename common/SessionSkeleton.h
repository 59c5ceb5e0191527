// What every session does alike, whatever its streams: the binding to Java,
// the stop event and the event thread, and the life cycle of SessionLifecycle
// with its stop routes. A bridge's session derives from it and brings only its
// own event loop and what it opens and gives back.
//
// Threads: start-up (on a Java thread, holding the start-up lock) sets up
// everything the event thread reads before startEventThread() creates it;
// releaseStreams() runs once the thread has ended (or before it ever existed).
// Once the event thread has ended the callback target's global reference is
// deleted: no delivery can use it any more.
#pragma once

#include "SessionLifecycle.h"

#include "plexa/handle_owner.h"
#include "plexa/platform.h"

#include <memory>
#include <mutex>

namespace plexa {

class JavaBinding;

// True on an event thread of this library, that is inside a frame handler or
// a Java callback it runs. Such a thread must never wait for an event thread.
bool onEventThread();

class SessionSkeleton {
public:
    SessionSkeleton();
    virtual ~SessionSkeleton();
    SessionSkeleton(const SessionSkeleton&) = delete;
    SessionSkeleton& operator=(const SessionSkeleton&) = delete;

    JavaBinding& java() const { return *java_; }

    // _stopNUI: ends the session as SessionLifecycle describes; a stop asked
    // for from inside a Java callback is finished by the event thread right
    // after the callback returns.
    void Nui_UnInit();
    // Run by whoever replaces the session in its slot, before the new session
    // opens the sensor: stops it as Nui_UnInit does, without waiting for a
    // stop already under way.
    void Nui_StopReplaced();
    // On a Java thread, waits for a stop of this session that its event
    // thread is still finishing, so that a new start of the sensor follows it.
    void Nui_AwaitStopUnderWay() { lifecycle_.awaitStopUnderWay(onEventThread()); }
    // True once a stop has finished; the sensor table may then free it.
    bool hasEnded() { return lifecycle_.hasEnded(); }

protected:
    // Held by start-up until the event thread exists, so that a stop from
    // anywhere (even from the new thread's first callback) sees the session
    // either before start-up or fully started.
    [[nodiscard]] std::unique_lock<std::mutex> lockForStartUp() { return lifecycle_.lockForStartUp(); }
    // With the start-up lock held: a session stopped before its start-up (it
    // was replaced meanwhile) must not start.
    bool stopRequestedDuringStartUp() const { return lifecycle_.stopRequestedDuringStartUp(); }
    // With the start-up lock held and everything the thread reads in place:
    // creates the stop event and the event thread. When either cannot be made
    // nothing of them is left, and the start fails with `noStopEvent` or
    // E_FAIL (no thread); S_OK when the thread runs.
    HRESULT startEventThread(HRESULT noStopEvent);

    // The event thread's loop: handles frames until `stopEvent` is seen.
    virtual void runEventLoop(HANDLE stopEvent) = 0;
    // Gives back what the session opened; `replaced` when the stop comes from
    // whoever replaces the session. Runs once, with no event thread running.
    virtual void releaseStreams(bool replaced) = 0;

private:
    static DWORD WINAPI eventThreadMain(LPVOID session);
    void stopByCaller(bool replaced);
    void finishStopOnEventThread();

    SessionLifecycle lifecycle_;
    HandleOwner stopEvent_;
    HandleOwner eventThread_;
    std::unique_ptr<JavaBinding> java_;
};

}  // namespace plexa
