// The slots of a sensor table, and when a session taken out of its slot is
// freed.
//
// An entry point reaches a session only through an Access, which counts
// itself in flight on its slot for as long as it lives: one atomic increment
// and one decrement, no lock, so programs that read counters at frame rate
// pay next to nothing. Whoever replaces a session stops it (its event thread
// ended, or left to end by itself when the stop comes from inside one of its
// own callbacks) and then retires it. A retired session is freed once its stop
// has finished, so no event thread uses it, and once its slot has been seen
// with no entry point in flight: an entry point that comes later reads the
// slot anew and can no longer reach it. The last entry point to leave a slot
// frees what is ready; a session whose event thread is still finishing its own
// stop is freed by a later one.
//
// The slot array itself is never destroyed: an event thread may still be
// ending when the process exits.
#pragma once

#include "NotCopyable.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

namespace plexa {

// Session must offer `bool hasEnded()`: true once nothing of it runs any more
// and nothing will start it; and `void Nui_StopReplaced()`.
template <typename Session, int Count>
class SessionSlots : NotCopyable {
    struct Slot;

public:
    static constexpr bool validIndex(int index) { return index >= 0 && index < Count; }

    // The process's table, made on first use and never destroyed.
    static SessionSlots& shared() {
        static auto* const table = new SessionSlots();
        return *table;
    }

    class Access : NotCopyable {
    public:
        // An access to the shared table; an index outside it gives an access to nothing.
        explicit Access(int index) : slot_(validIndex(index) ? &shared().slots_[index] : nullptr) {
            if (slot_ != nullptr) slot_->inFlight.fetch_add(1, std::memory_order_seq_cst);
        }
        ~Access() {
            if (slot_ != nullptr) slot_->leave();
        }

        // The slot's session, or null. It stays valid while this access lives.
        Session* session() const { return slot_ == nullptr ? nullptr : slot_->current.load(std::memory_order_seq_cst); }

        // Puts `fresh` in the slot and returns it. The session it replaces is
        // stopped first (Session::Nui_StopReplaced: as _stopNUI stops it,
        // except that a stop of it already under way is left to finish
        // without waiting) and then retired. Null, and the slot unchanged,
        // for a null session or an index outside the table.
        Session* install(std::unique_ptr<Session> fresh) {
            if (slot_ == nullptr || !fresh) return nullptr;
            Session* installed = fresh.get();
            Session* replaced = slot_->current.exchange(fresh.release(), std::memory_order_seq_cst);
            if (replaced != nullptr) {
                replaced->Nui_StopReplaced();
                slot_->retire(replaced);
            }
            return installed;
        }

    private:
        Slot* slot_;
    };

private:
    struct Slot {
        std::atomic<Session*> current{nullptr};
        std::atomic<int> inFlight{0};
        std::atomic<bool> retiredWaiting{false};
        std::mutex retiredMutex;
        std::vector<Session*> retired;

        void retire(Session* replaced) {
            std::lock_guard<std::mutex> lock(retiredMutex);
            try {
                retired.push_back(replaced);
            } catch (const std::bad_alloc&) {
                return;  // kept for good: freeing it now could free it under another thread
            }
            retiredWaiting.store(true, std::memory_order_relaxed);
        }

        void leave() {
            if (inFlight.fetch_sub(1, std::memory_order_seq_cst) == 1 &&
                retiredWaiting.load(std::memory_order_relaxed)) {
                freeEnded();
            }
        }

        void freeEnded() {
            std::vector<Session*> ready;
            {
                std::lock_guard<std::mutex> lock(retiredMutex);
                // Read after the sessions were taken out of the slot (they were
                // put here after that): zero means nobody still holds one.
                if (inFlight.load(std::memory_order_seq_cst) != 0) return;
                const auto ended = std::stable_partition(retired.begin(), retired.end(),
                                                         [](Session* session) { return !session->hasEnded(); });
                try {
                    ready.assign(ended, retired.end());
                } catch (const std::bad_alloc&) {
                    return;  // tried again by a later entry point
                }
                retired.erase(ended, retired.end());
                retiredWaiting.store(!retired.empty(), std::memory_order_relaxed);
            }
            // Outside the lock: a session gives back runtime objects as it goes.
            for (Session* session : ready) delete session;
        }
    };

    std::array<Slot, Count> slots_;
};

}  // namespace plexa
