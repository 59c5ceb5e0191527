// The sensor table: one slot per sensor index (0 to 9), each holding the
// session most recently created for it. The table and its sessions live until
// the process ends; a Java thread may still hold a session that another
// thread has just replaced, and an abandoned session that was started and not
// stopped goes on delivering to its own callback target.
#pragma once

#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

struct KSDK;

namespace plexa::bridge2 {

class SensorTable {
public:
    static constexpr int kSensorCount = 10;

    // Created on first use, never destroyed (event threads may outlive
    // everything else in a process that is ending).
    static SensorTable& instance();

    static bool validIndex(int index) { return index >= 0 && index < kSensorCount; }

    // The slot's session; null for an index outside 0 to 9 or an empty slot.
    KSDK* session(int index) const;

    // Puts a new session into the slot. The one it replaces is given back what
    // it holds (sensor, mapper, reader, buffers) unless its event thread is
    // delivering frames, in which case it is left running, or is already
    // stopping. It never waits.
    KSDK* install(int index, std::unique_ptr<KSDK> session);

private:
    SensorTable() = default;

    std::array<std::atomic<KSDK*>, kSensorCount> slots_{};
    std::mutex ownersMutex_;
    std::vector<std::unique_ptr<KSDK>> owners_;  // every session ever created
};

}  // namespace plexa::bridge2
