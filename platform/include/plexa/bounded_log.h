// The newest entries of a log, oldest first, up to a fixed capacity. The
// storage is taken once, at the first entry, and left uninitialised until
// used; after that appending allocates nothing, so code on a frame's path
// may log every call.
#pragma once

#include <cstddef>
#include <memory>

namespace plexa {

template <class Entry>
class BoundedLog {
public:
    explicit BoundedLog(std::size_t capacity) : capacity_(capacity) {}

    // The slot of a new entry, for the caller to fill; the oldest entry goes
    // when the log is full. Throws std::bad_alloc only at the first entry.
    Entry& append() {
        if (!slots_) slots_.reset(new Entry[capacity_]);
        std::size_t slot = oldest_;
        if (size_ < capacity_) {
            slot = (oldest_ + size_) % capacity_;
            ++size_;
        } else {
            oldest_ = (oldest_ + 1) % capacity_;
        }
        return slots_[slot];
    }

    template <class Visit>
    void forEach(Visit&& visit) const {
        for (std::size_t i = 0; i < size_; ++i) visit(slots_[(oldest_ + i) % capacity_]);
    }

    std::size_t size() const { return size_; }
    void clear() {
        oldest_ = 0;
        size_ = 0;
    }

private:
    std::size_t capacity_;
    std::unique_ptr<Entry[]> slots_;
    std::size_t oldest_ = 0;
    std::size_t size_ = 0;
};

}  // namespace plexa
