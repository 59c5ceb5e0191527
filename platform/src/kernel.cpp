// Events, waits and threads on the C++ standard library.
//
// Every kernel object lives in one registry behind one mutex and one condition
// variable: a state change (SetEvent, a thread ending) wakes every waiter, and
// each waiter re-checks its own handles. Handles are serial numbers that are
// never reused, so a stale or closed handle is recognised instead of aliasing a
// newer object.
#include "plexa/platform.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <vector>

#include <sys/syscall.h>
#include <unistd.h>

namespace {

struct KernelObject {
    enum class Kind { Event, Thread } kind;
    bool manualReset = true;  // threads stay signalled once ended
    bool signalled = false;
    std::thread thread;

    explicit KernelObject(Kind k) : kind(k) {}
    ~KernelObject() {
        if (thread.joinable()) thread.detach();
    }
};

using ObjectPtr = std::shared_ptr<KernelObject>;

class Registry {
public:
    HANDLE add(ObjectPtr object) {
        std::lock_guard<std::mutex> lock(mutex_);
        const std::uintptr_t id = ++lastId_;
        objects_.emplace(id, std::move(object));
        return reinterpret_cast<HANDLE>(id);
    }

    ObjectPtr remove(HANDLE handle) {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = objects_.find(reinterpret_cast<std::uintptr_t>(handle));
        if (it == objects_.end()) return nullptr;
        ObjectPtr object = std::move(it->second);
        objects_.erase(it);
        return object;
    }

    bool setSignalled(HANDLE handle, KernelObject::Kind kind, bool signalled) {
        std::lock_guard<std::mutex> lock(mutex_);
        ObjectPtr object = findLocked(handle);
        if (!object || object->kind != kind) return false;
        object->signalled = signalled;
        if (signalled) changed_.notify_all();
        return true;
    }

    std::size_t size() {
        std::lock_guard<std::mutex> lock(mutex_);
        return objects_.size();
    }

    bool isSignalled(const KernelObject& object) {
        std::lock_guard<std::mutex> lock(mutex_);
        return object.signalled;
    }

    void markEnded(KernelObject& object) {
        std::lock_guard<std::mutex> lock(mutex_);
        object.signalled = true;
        changed_.notify_all();
    }

    DWORD wait(DWORD count, const HANDLE* handles, bool waitAll, DWORD milliseconds) {
        if (count == 0 || count > MAXIMUM_WAIT_OBJECTS || handles == nullptr) return WAIT_FAILED;
        std::unique_lock<std::mutex> lock(mutex_);
        // On the stack: an event thread waits once per frame and allocates nothing for it.
        std::array<ObjectPtr, MAXIMUM_WAIT_OBJECTS> objects;
        for (DWORD i = 0; i < count; ++i) {
            objects[i] = findLocked(handles[i]);
            if (!objects[i]) return WAIT_FAILED;
        }
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        for (;;) {
            const DWORD ready = takeSignalled(objects.data(), count, waitAll);
            if (ready != WAIT_TIMEOUT) return ready;
            if (milliseconds == 0) return WAIT_TIMEOUT;
            if (milliseconds == INFINITE) {
                changed_.wait(lock);
            } else if (changed_.wait_until(lock, deadline) == std::cv_status::timeout) {
                return takeSignalled(objects.data(), count, waitAll);
            }
        }
    }

private:
    ObjectPtr findLocked(HANDLE handle) {
        auto it = objects_.find(reinterpret_cast<std::uintptr_t>(handle));
        return it == objects_.end() ? nullptr : it->second;
    }

    // The result of a wait that can end now, else WAIT_TIMEOUT. What it
    // reports is consumed: the wait that sees an auto-reset event resets it.
    static DWORD takeSignalled(ObjectPtr* objects, DWORD count, bool waitAll) {
        ObjectPtr* const end = objects + count;
        const auto signalled = [](const ObjectPtr& object) { return object->signalled; };
        const auto consume = [](const ObjectPtr& object) {
            if (!object->manualReset) object->signalled = false;
        };
        if (waitAll) {
            if (!std::all_of(objects, end, signalled)) return WAIT_TIMEOUT;
            std::for_each(objects, end, consume);
            return WAIT_OBJECT_0;
        }
        ObjectPtr* const first = std::find_if(objects, end, signalled);
        if (first == end) return WAIT_TIMEOUT;
        consume(*first);
        return WAIT_OBJECT_0 + static_cast<DWORD>(first - objects);
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::unordered_map<std::uintptr_t, ObjectPtr> objects_;
    std::uintptr_t lastId_ = 0;
};

// The registry must outlive every thread that may still signal through it,
// including threads that are running while the process exits, so it is never
// destroyed.
Registry& registry() {
    static Registry* const instance = new Registry();
    return *instance;
}

}  // namespace

extern "C" {

HANDLE WINAPI CreateEventA(LPSECURITY_ATTRIBUTES, BOOL manualReset, BOOL initialState, LPCSTR) {
    try {
        auto event = std::make_shared<KernelObject>(KernelObject::Kind::Event);
        event->manualReset = manualReset != FALSE;
        event->signalled = initialState != FALSE;
        return registry().add(std::move(event));
    } catch (...) {
        return nullptr;
    }
}

BOOL WINAPI SetEvent(HANDLE event) {
    return registry().setSignalled(event, KernelObject::Kind::Event, true) ? TRUE : FALSE;
}

BOOL WINAPI ResetEvent(HANDLE event) {
    return registry().setSignalled(event, KernelObject::Kind::Event, false) ? TRUE : FALSE;
}

DWORD WINAPI WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    return registry().wait(1, &handle, false, milliseconds);
}

DWORD WINAPI WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds) {
    return registry().wait(count, handles, waitAll != FALSE, milliseconds);
}

HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE startRoutine, LPVOID parameter, DWORD,
                           LPDWORD threadId) {
    if (startRoutine == nullptr) return nullptr;
    try {
        auto object = std::make_shared<KernelObject>(KernelObject::Kind::Thread);
        HANDLE handle = registry().add(object);
        // The thread keeps its own reference, so the object outlives CloseHandle.
        object->thread = std::thread([object, startRoutine, parameter]() {
            startRoutine(parameter);
            registry().markEnded(*object);
        });
        if (threadId != nullptr) *threadId = 0;
        return handle;
    } catch (...) {
        return nullptr;
    }
}

BOOL WINAPI CloseHandle(HANDLE handle) {
    ObjectPtr object = registry().remove(handle);
    if (!object) return FALSE;
    if (object->kind == KernelObject::Kind::Thread && object->thread.joinable()) {
        // An ended thread is joined so that nothing of it is left running; a
        // live one goes on by itself, as a closed handle does not stop a thread.
        if (registry().isSignalled(*object)) {
            object->thread.join();
        } else {
            object->thread.detach();
        }
    }
    return TRUE;
}

DWORD WINAPI GetCurrentThreadId() { return static_cast<DWORD>(::syscall(SYS_gettid)); }

std::size_t PlexaOpenHandleCount() { return registry().size(); }

}  // extern "C"
