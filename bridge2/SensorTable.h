// The sensor table: one slot per sensor index (0 to 9), each holding the
// session most recently created for it. Entry points reach a session through
// a SensorAccess, which keeps it alive for as long as the access lives. A
// session replaced in its slot is stopped by whoever replaced it and freed
// once no entry point and no thread can still reach it (see SessionSlots for
// the scheme, which costs an entry point two atomic operations and no lock).
#pragma once

#include "SessionSlots.h"

#include <memory>

#include "KSDK.h"

namespace plexa::bridge2 {

class SensorTable {
public:
    static constexpr int kSensorCount = plexa::bridge2::kSensorCount;
    using Slots = plexa::SessionSlots<KSDK, kSensorCount>;

    static bool validIndex(int index) { return Slots::validIndex(index); }

    // Created on first use, never destroyed (event threads may outlive
    // everything else in a process that is ending).
    static Slots& slots() {
        static Slots* const table = new Slots();
        return *table;
    }
};

class SensorAccess {
public:
    explicit SensorAccess(int index) : access_(SensorTable::slots(), index) {}

    // The slot's session; null for an index outside 0 to 9 or an empty slot.
    KSDK* session() const { return access_.session(); }

    // Puts a new session into the slot (SessionSlots::Access::install).
    KSDK* install(std::unique_ptr<KSDK> session) { return access_.install(std::move(session)); }

private:
    SensorTable::Slots::Access access_;
};

}  // namespace plexa::bridge2
