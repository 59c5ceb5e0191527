// The sensor table: one slot per sensor index (0 to 9), each holding the
// session most recently created for it. Entry points reach a session through
// a SensorAccess, which keeps it alive for as long as the access lives. A
// session replaced in its slot is stopped by whoever replaced it and freed
// once no entry point and no thread can still reach it (see SessionSlots for
// the scheme, which costs an entry point two atomic operations and no lock).
#pragma once

#include "KSDK.h"
#include "SessionSlots.h"

namespace plexa::bridge2 {

using SensorTable = plexa::SessionSlots<KSDK, kSensorCount>;
using SensorAccess = SensorTable::Access;

}  // namespace plexa::bridge2
