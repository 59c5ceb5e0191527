#include "SensorTable.h"

#include "KSDK.h"

namespace plexa::bridge2 {

SensorTable& SensorTable::instance() {
    static SensorTable* const table = new SensorTable();
    return *table;
}

KSDK* SensorTable::session(int index) const {
    if (!validIndex(index)) return nullptr;
    return slots_[static_cast<std::size_t>(index)].load(std::memory_order_acquire);
}

KSDK* SensorTable::install(int index, std::unique_ptr<KSDK> session) {
    KSDK* installed = session.get();
    {
        std::lock_guard<std::mutex> lock(ownersMutex_);
        owners_.push_back(std::move(session));
    }
    KSDK* replaced = slots_[static_cast<std::size_t>(index)].exchange(installed, std::memory_order_acq_rel);
    // Nobody can reach the replaced session any more; unless it runs, what it
    // holds would otherwise stay taken until the process ends.
    if (replaced != nullptr) replaced->releaseUnlessRunning();
    return installed;
}

}  // namespace plexa::bridge2
