// The sensor table: one slot per sensor index, each holding the session most
// recently created for that index. It exists from the first _createNUI (or a
// _startNUI that comes first) to the end of the process.
//
// Entry points reach a session through a SensorAccess, which keeps it alive
// for as long as the access lives. A session replaced in its slot is stopped
// by whoever replaced it and freed once no entry point and no thread can still
// reach it (see SessionSlots for the scheme).
#pragma once

#include "KSDK.h"
#include "SessionSlots.h"

#include <cstdint>

namespace plexa::bridge1 {

constexpr bool isValidSensorIndex(std::int32_t index) { return index >= 0 && index < kSensorCount; }

// Creates the table on first use and then prints the welcome banner; later
// calls do nothing. Safe to call from several threads at once.
void ensureSensorTable();

using SensorSlots = plexa::SessionSlots<KSDK, kSensorCount>;

// An entry point's hold on one slot. session() is null when there is no table
// yet, the index is outside 0 to 9, or the slot is empty.
class SensorAccess {
public:
    explicit SensorAccess(std::int32_t index);
    KSDK* session() const;

    // A new session for the index in place of the slot's (SessionSlots::Access::install).
    // Null (and the slot unchanged) when memory ran out for it. The table must exist.
    KSDK* replaceSession(std::unique_ptr<KSDK> fresh) { return access_.install(std::move(fresh)); }

private:
    SensorSlots::Access access_;
};

}  // namespace plexa::bridge1
