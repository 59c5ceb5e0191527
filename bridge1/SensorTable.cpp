#include "SensorTable.h"

#include "WelcomeBanner.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

namespace plexa::bridge1 {
namespace {

std::once_flag tableCreation;
std::atomic<bool> tableExists{false};
std::atomic<KSDK*> slots[kSensorCount];

// Owns every session ever made. Never destroyed, so that no session is torn
// down under an event thread that is still running when the process exits.
class SessionKeeper {
public:
    static SessionKeeper& instance() {
        static SessionKeeper* const keeper = new SessionKeeper();
        return *keeper;
    }

    KSDK* keep(std::unique_ptr<KSDK> session) {
        std::lock_guard<std::mutex> lock(mutex_);
        try {
            sessions_.push_back(std::move(session));
        } catch (const std::bad_alloc&) {
            return nullptr;  // the session is freed again: nobody has seen it
        }
        return sessions_.back().get();
    }

private:
    std::mutex mutex_;
    std::vector<std::unique_ptr<KSDK>> sessions_;
};

}  // namespace

void ensureSensorTable() {
    std::call_once(tableCreation, []() {
        for (std::atomic<KSDK*>& slot : slots) slot.store(nullptr, std::memory_order_relaxed);
        tableExists.store(true, std::memory_order_release);
        plexa::printWelcomeBanner();
    });
}

KSDK* sessionAt(std::int32_t index) {
    if (!isValidSensorIndex(index) || !tableExists.load(std::memory_order_acquire)) return nullptr;
    return slots[index].load(std::memory_order_acquire);
}

KSDK* replaceSession(std::int32_t index) {
    std::unique_ptr<KSDK> fresh(new (std::nothrow) KSDK(index));
    if (!fresh) return nullptr;
    KSDK* session = SessionKeeper::instance().keep(std::move(fresh));
    if (session != nullptr) slots[index].store(session, std::memory_order_release);
    return session;
}

}  // namespace plexa::bridge1
