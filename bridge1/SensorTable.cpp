#include "SensorTable.h"

#include "WelcomeBanner.h"

#include <atomic>
#include <mutex>

namespace plexa::bridge1 {
namespace {

std::once_flag tableCreation;
std::atomic<bool> tableExists{false};

}  // namespace

void ensureSensorTable() {
    std::call_once(tableCreation, []() {
        SensorSlots::shared();
        tableExists.store(true, std::memory_order_release);
        plexa::printWelcomeBanner();
    });
}

SensorAccess::SensorAccess(std::int32_t index) : access_(index) {}

KSDK* SensorAccess::session() const {
    return tableExists.load(std::memory_order_acquire) ? access_.session() : nullptr;
}

}  // namespace plexa::bridge1
