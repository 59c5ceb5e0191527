#include "RecycledBlocks.h"

#include <array>
#include <mutex>

namespace plexa::virtual2 {
namespace {

// Free blocks of one size, linked through their first bytes.
struct FreeBlock {
    FreeBlock* next;
};

struct SizeClass {
    std::size_t bytes = 0;  // 0: unused
    FreeBlock* free = nullptr;
    int count = 0;
};

// The runtime's frame objects come in a score of sizes; a frame holds a few
// of each, and a reader at most a few frames at once.
constexpr std::size_t kSizeClasses = 48;
constexpr int kBlocksKeptPerSize = 32;

class Recycler {
public:
    void* take(std::size_t bytes) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (SizeClass* sizeClass = find(bytes, false); sizeClass != nullptr && sizeClass->free != nullptr) {
                FreeBlock* block = sizeClass->free;
                sizeClass->free = block->next;
                --sizeClass->count;
                return block;
            }
        }
        return ::operator new(blockBytes(bytes));
    }

    void giveBack(void* block, std::size_t bytes) noexcept {
        if (block == nullptr) return;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            SizeClass* sizeClass = find(bytes, true);
            if (sizeClass != nullptr && sizeClass->count < kBlocksKeptPerSize) {
                sizeClass->free = new (block) FreeBlock{sizeClass->free};
                ++sizeClass->count;
                return;
            }
        }
        ::operator delete(block);
    }

private:
    static std::size_t blockBytes(std::size_t bytes) { return bytes < sizeof(FreeBlock) ? sizeof(FreeBlock) : bytes; }

    // The class of `bytes`; with `add`, the first unused class becomes it when
    // none is yet.
    SizeClass* find(std::size_t bytes, bool add) {
        for (SizeClass& sizeClass : classes_) {
            if (sizeClass.bytes == 0 && add) sizeClass.bytes = bytes;
            if (sizeClass.bytes == bytes) return &sizeClass;
            if (sizeClass.bytes == 0) return nullptr;
        }
        return nullptr;
    }

    std::mutex mutex_;
    std::array<SizeClass, kSizeClasses> classes_{};
};

// Never destroyed: frame objects may end on threads still running at exit.
Recycler& recycler() {
    static Recycler* const instance = new Recycler();
    return *instance;
}

}  // namespace

void* takeRecycledBlock(std::size_t bytes) { return recycler().take(bytes); }

void giveBackRecycledBlock(void* block, std::size_t bytes) noexcept { recycler().giveBack(block, bytes); }

}  // namespace plexa::virtual2
