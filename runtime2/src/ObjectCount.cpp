#include "ObjectCount.h"

#include <atomic>

namespace plexa::virtual2 {
namespace {

// A plain atomic with static storage: trivially destructible, so objects
// released while the process exits still find it.
std::atomic<int> aliveCount{0};

}  // namespace

void noteObjectCreated() { aliveCount.fetch_add(1, std::memory_order_relaxed); }

void noteObjectDestroyed() { aliveCount.fetch_sub(1, std::memory_order_relaxed); }

int liveObjects() { return aliveCount.load(std::memory_order_relaxed); }

}  // namespace plexa::virtual2
