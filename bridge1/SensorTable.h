// The sensor table: one slot per sensor index, each holding the session most
// recently created for that index. It exists from the first _createNUI (or a
// _startNUI that comes first) to the end of the process.
//
// Sessions are never destroyed: one replaced in its slot may still have an
// event thread running and delivering to its own Java object, and Java
// threads may still hold it between reading a slot and using it.
#pragma once

#include "KSDK.h"

#include <cstdint>

namespace plexa::bridge1 {

constexpr std::int32_t kSensorCount = 10;

constexpr bool isValidSensorIndex(std::int32_t index) { return index >= 0 && index < kSensorCount; }

// Creates the table on first use and then prints the welcome banner; later
// calls do nothing. Safe to call from several threads at once.
void ensureSensorTable();

// The session in the slot, or null when there is no table yet, the index is
// outside 0 to 9, or the slot is empty.
KSDK* sessionAt(std::int32_t index);

// A new session for the index, kept for the rest of the process and stored in
// its slot in place of whatever was there. Null (and the slot unchanged) when
// memory runs out. The index must be valid and the table must exist.
KSDK* replaceSession(std::int32_t index);

}  // namespace plexa::bridge1
