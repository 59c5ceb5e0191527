// What every session does alike, whatever its streams: the binding to Java,
// the stop event and the event thread, and who ends the session, and when.
// A bridge's session derives from it and brings only its own event loop and
// what it opens and gives back.
//
// Exactly one party ends a started session, once. A Java thread ends it by
// signalling the event thread, waiting for it to end and then releasing what
// the session holds. A stop asked for on an event thread (from inside a Java
// callback) must not wait for an event thread, its own least of all, so it
// only signals: the session's event thread, once out of its loop, finishes the
// same shutdown itself. Any later stop finds the session ended, or, on a Java
// thread, waits for the shutdown under way and does nothing more. A start of
// the same sensor on a Java thread also waits for it, so that the old
// session's late shutdown cannot stop the new one's streams; a callback must
// therefore not wait for a thread that restarts its own sensor.
// A session replaced in its slot is stopped the same way by whoever replaces
// it, except that a stop already under way is left to finish without waiting
// for it. Replacing a session from inside one of its own callbacks therefore
// leaves the stop to its event thread, which ends after that callback; a
// callback must likewise not wait for a thread that replaces its session.
// Start-up holds the lock until the event thread exists, so no stop ever sees
// a half-started session. The lock is never held while waiting for a thread.
// Once the event thread has ended the callback target's global reference is
// deleted: no delivery can use it any more.
#pragma once

#include "plexa/handle_owner.h"
#include "plexa/platform.h"

#include <condition_variable>
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
    // Runs only once the session has ended and nothing can reach it.
    virtual ~SessionSkeleton();

    JavaBinding& java() const { return *java_; }

    // _stopNUI.
    void Nui_UnInit() {
        if (takeStop(true)) release(false, true);
    }
    // Run by whoever replaces the session in its slot, before the new session
    // opens the sensor.
    void Nui_StopReplaced() {
        if (takeStop(false)) release(true, true);
    }
    // On a Java thread, waits for a stop of this session that its event
    // thread is still finishing, so that a new start of the sensor follows it.
    void Nui_AwaitStopUnderWay();
    // True once a stop has finished: no event thread runs, none will start,
    // and the party that stopped the session no longer touches it; the sensor
    // table may then free it.
    bool hasEnded();

protected:
    // Taken by start-up for its whole length.
    [[nodiscard]] std::unique_lock<std::mutex> lockForStartUp() { return std::unique_lock<std::mutex>(mutex_); }
    // With the start-up lock held: a session stopped before its start-up (it
    // was replaced meanwhile) must not start.
    bool stopRequestedDuringStartUp() const { return shutdown_ != Shutdown::NotRequested; }
    // With the start-up lock held and everything the thread reads in place:
    // creates the stop event and the event thread. When either cannot be made
    // nothing of them is left, and the start fails with `noStopEvent` or
    // E_FAIL (no thread); S_OK when the thread runs.
    HRESULT startEventThread(HRESULT noStopEvent);
    // Start-up messages go out without a line end, flushed so that they come
    // before what Java prints next through its own buffer to the same stream.
    static void printStartFailure(const char* message);
    // The code in decimal, then that the sensor cannot be initialised.
    static void printCannotInitialize(HRESULT result);

    // The event thread's loop: handles frames until `stopEvent` is seen.
    virtual void runEventLoop(HANDLE stopEvent) = 0;
    // Gives back what the session opened; `replaced` when the stop comes from
    // whoever replaces the session. Runs once, with no event thread running.
    virtual void releaseStreams(bool replaced) = 0;

private:
    enum class Shutdown { NotRequested, LeftToEventThread, InProgress, Done };

    static DWORD WINAPI eventThreadMain(LPVOID session);
    // True when the caller is to end the session (and then call release()).
    bool takeStop(bool waitForStopUnderWay);
    // Ends the event thread (unless it is the caller), gives everything back
    // and marks the session ended.
    void release(bool replaced, bool endThread);

    std::mutex mutex_;
    std::condition_variable changed_;
    Shutdown shutdown_ = Shutdown::NotRequested;
    bool threadRunning_ = false;
    HandleOwner stopEvent_;
    HandleOwner eventThread_;
    std::unique_ptr<JavaBinding> java_;
};

}  // namespace plexa
