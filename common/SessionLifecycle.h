// Who ends a session, and when.
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
#pragma once

#include <plexa/handle_owner.h>

#include <condition_variable>
#include <mutex>

namespace plexa {

class SessionLifecycle {
public:
    enum class StopRoute {
        Nothing,       // ended already, left running, or being ended by another party
        LeftToThread,  // the stop event is signalled; the event thread finishes the stop
        ByCaller,      // the caller ends the thread, releases everything, then calls stopDone()
    };

    // Taken by start-up for its whole length.
    [[nodiscard]] std::unique_lock<std::mutex> lockForStartUp() { return std::unique_lock<std::mutex>(mutex_); }
    // With the start-up lock held: whether a stop came first (the session
    // must then not start), and the note that the event thread now exists.
    bool stopRequestedDuringStartUp() const { return shutdown_ != Shutdown::NotRequested; }
    void eventThreadCreated() { threadRunning_ = true; }

    // Decides how a stop asked for now is carried out. `stopEvent` is read
    // under the lock and signalled when the stop is left to the thread.
    StopRoute requestStop(bool onEventThread, const HandleOwner& stopEvent);
    // The same for a session that is being replaced, except that a stop
    // already under way is left to finish without waiting for it.
    StopRoute requestStopForReplacement(bool onEventThread, const HandleOwner& stopEvent);

    // Run by the event thread once its loop has ended: true when it must
    // finish a stop left to it (and then call stopDone()).
    bool eventThreadEnding();
    void stopDone();

    // On a Java thread, waits until no stop is under way.
    void awaitStopUnderWay(bool onEventThread);

    // True once a stop has finished: no event thread runs, none will start,
    // and the party that stopped the session no longer touches it.
    bool hasEnded();

private:
    enum class Shutdown { NotRequested, LeftToEventThread, InProgress, Done };

    StopRoute route(bool onEventThread, bool waitForStopUnderWay, const HandleOwner& stopEvent);

    std::mutex mutex_;
    std::condition_variable changed_;
    Shutdown shutdown_ = Shutdown::NotRequested;
    bool threadRunning_ = false;
};

}  // namespace plexa
