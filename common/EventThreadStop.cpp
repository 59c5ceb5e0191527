#include "EventThreadStop.h"

namespace plexa {

void stopAndJoinEventThread(HANDLE& stopEvent, HANDLE& eventThread) {
    if (stopEvent == nullptr) return;
    SetEvent(stopEvent);
    if (eventThread != nullptr) {
        WaitForSingleObject(eventThread, INFINITE);
        CloseHandle(eventThread);
        eventThread = nullptr;
    }
    CloseHandle(stopEvent);
    stopEvent = nullptr;
}

}  // namespace plexa
