#include "KernelSeam.h"

#include <dlfcn.h>

#include <condition_variable>
#include <mutex>
#include <set>

namespace plexa::test::seam {
namespace {

struct SeamState {
    std::mutex mutex;
    std::condition_variable released;
    int eventCreationsUntilFailure = 0;  // 0: none armed
    bool failNextThread = false;
    bool failFourHandleWaits = false;
    bool failStopOnlyWaits = false;
    std::size_t fourHandleWaits = 0;
    std::size_t stopOnlyWaits = 0;
    bool hold = false;
    std::size_t held = 0;
    std::set<DWORD> infiniteWaiters;
    std::size_t threadsRunning = 0;
};

SeamState& state() {
    static SeamState* const instance = new SeamState();  // used by threads that may outlive main
    return *instance;
}

template <typename Function>
Function real(const char* name) {
    void* symbol = ::dlsym(RTLD_NEXT, name);
    if (symbol == nullptr) std::abort();
    return reinterpret_cast<Function>(symbol);
}

struct ThreadStart {
    LPTHREAD_START_ROUTINE routine;
    LPVOID parameter;
};

DWORD WINAPI countedRoutine(LPVOID parameter) {
    const ThreadStart start = *static_cast<ThreadStart*>(parameter);
    delete static_cast<ThreadStart*>(parameter);
    const DWORD result = start.routine(start.parameter);
    std::lock_guard<std::mutex> lock(state().mutex);
    --state().threadsRunning;
    return result;
}

}  // namespace

std::size_t threadsRunning() {
    std::lock_guard<std::mutex> lock(state().mutex);
    return state().threadsRunning;
}

void failEventCreation(int nth) {
    std::lock_guard<std::mutex> lock(state().mutex);
    state().eventCreationsUntilFailure = nth;
}

void failThreadCreation() {
    std::lock_guard<std::mutex> lock(state().mutex);
    state().failNextThread = true;
}

void failEventThreadWaits(bool fourHandleWait, bool stopOnlyWait) {
    std::lock_guard<std::mutex> lock(state().mutex);
    state().failFourHandleWaits = fourHandleWait;
    state().failStopOnlyWaits = stopOnlyWait;
}

std::size_t fourHandleWaits() {
    std::lock_guard<std::mutex> lock(state().mutex);
    return state().fourHandleWaits;
}

std::size_t stopOnlyWaits() {
    std::lock_guard<std::mutex> lock(state().mutex);
    return state().stopOnlyWaits;
}

void holdEventThreadWaits() {
    std::lock_guard<std::mutex> lock(state().mutex);
    state().hold = true;
}

void releaseEventThreadWaits() {
    {
        std::lock_guard<std::mutex> lock(state().mutex);
        state().hold = false;
    }
    state().released.notify_all();
}

std::size_t threadsHeld() {
    std::lock_guard<std::mutex> lock(state().mutex);
    return state().held;
}

bool hasEnteredInfiniteWait(DWORD threadId) {
    std::lock_guard<std::mutex> lock(state().mutex);
    return state().infiniteWaiters.count(threadId) != 0;
}

}  // namespace plexa::test::seam

using plexa::test::seam::state;

#define SEAM_EXPORT __attribute__((visibility("default")))

extern "C" {

SEAM_EXPORT HANDLE WINAPI CreateEventA(LPSECURITY_ATTRIBUTES attributes, BOOL manualReset, BOOL initialState,
                                       LPCSTR name) {
    {
        std::lock_guard<std::mutex> lock(state().mutex);
        if (state().eventCreationsUntilFailure > 0 && --state().eventCreationsUntilFailure == 0) return nullptr;
    }
    static const auto forward = plexa::test::seam::real<decltype(&CreateEventA)>("CreateEventA");
    return forward(attributes, manualReset, initialState, name);
}

SEAM_EXPORT HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES attributes, SIZE_T stackSize,
                                       LPTHREAD_START_ROUTINE startRoutine, LPVOID parameter, DWORD creationFlags,
                                       LPDWORD threadId) {
    {
        std::lock_guard<std::mutex> lock(state().mutex);
        if (state().failNextThread) {
            state().failNextThread = false;
            return nullptr;
        }
    }
    static const auto forward = plexa::test::seam::real<decltype(&CreateThread)>("CreateThread");
    if (startRoutine == nullptr) return forward(attributes, stackSize, startRoutine, parameter, creationFlags, threadId);
    auto* start = new plexa::test::seam::ThreadStart{startRoutine, parameter};
    {
        std::lock_guard<std::mutex> lock(state().mutex);
        ++state().threadsRunning;
    }
    HANDLE thread = forward(attributes, stackSize, plexa::test::seam::countedRoutine, start, creationFlags, threadId);
    if (thread == nullptr) {
        delete start;
        std::lock_guard<std::mutex> lock(state().mutex);
        --state().threadsRunning;
    }
    return thread;
}

SEAM_EXPORT DWORD WINAPI WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll,
                                                DWORD milliseconds) {
    if (count == 4) {
        std::unique_lock<std::mutex> lock(state().mutex);
        ++state().fourHandleWaits;
        if (state().hold) {
            ++state().held;
            state().released.wait(lock, [] { return !state().hold; });
            --state().held;
        }
        if (state().failFourHandleWaits) return WAIT_FAILED;
    }
    static const auto forward = plexa::test::seam::real<decltype(&WaitForMultipleObjects)>("WaitForMultipleObjects");
    return forward(count, handles, waitAll, milliseconds);
}

SEAM_EXPORT DWORD WINAPI WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    {
        std::lock_guard<std::mutex> lock(state().mutex);
        if (milliseconds == INFINITE) state().infiniteWaiters.insert(GetCurrentThreadId());
        if (milliseconds == 100) {
            ++state().stopOnlyWaits;
            if (state().failStopOnlyWaits) return WAIT_FAILED;
        }
    }
    static const auto forward = plexa::test::seam::real<decltype(&WaitForSingleObject)>("WaitForSingleObject");
    return forward(handle, milliseconds);
}

}  // extern "C"
