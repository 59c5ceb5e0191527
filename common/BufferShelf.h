// Where a sensor's large frame buffers wait between its sessions. Each session
// runs its frames on a thread of its own; buffers made anew on every such
// thread land in ever other allocator arenas, and a program that restarts
// often would see the process grow. So a session takes its sensor's buffers
// when it starts and puts them back once its event thread has ended: they are
// made once per sensor and reused. One set is kept per sensor; a set put back
// while one is already kept (two sessions of a sensor overlapped) is freed.
#pragma once

#include <array>
#include <memory>
#include <mutex>
#include <new>

namespace plexa {

template <typename Buffers, int Count>
class BufferShelf {
public:
    // The process's shelf for these buffers, never destroyed: an event thread
    // may still be ending when the process exits.
    static BufferShelf& shared() {
        static auto* const shelf = new BufferShelf();
        return *shelf;
    }

    // The sensor's kept buffers, or a new set, started over for a new session
    // (Buffers::startSession); null when memory is short or the index is
    // outside the table.
    std::unique_ptr<Buffers> take(int index) {
        if (index < 0 || index >= Count) return nullptr;
        std::unique_ptr<Buffers> buffers;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            buffers = std::move(kept_[static_cast<std::size_t>(index)]);
        }
        if (!buffers) buffers.reset(new (std::nothrow) Buffers());
        if (buffers) buffers->startSession();
        return buffers;
    }

    void put(int index, std::unique_ptr<Buffers> buffers) {
        if (index < 0 || index >= Count || !buffers) return;
        std::lock_guard<std::mutex> lock(mutex_);
        auto& kept = kept_[static_cast<std::size_t>(index)];
        if (!kept) kept = std::move(buffers);
    }

private:
    std::mutex mutex_;
    std::array<std::unique_ptr<Buffers>, Count> kept_;
};

}  // namespace plexa
