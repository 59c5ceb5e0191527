// The largest single allocation through operator new while a probe lives.
// The program that links allocation_probe.cpp replaces the global operator
// new and delete (kept in their own file, so the compiler never sees them
// inlined next to the library's own).
#pragma once

#include <cstddef>

namespace plexa::test {

class AllocationProbe {
public:
    AllocationProbe();
    ~AllocationProbe();
    AllocationProbe(const AllocationProbe&) = delete;
    AllocationProbe& operator=(const AllocationProbe&) = delete;
    std::size_t largest() const;
};

}  // namespace plexa::test
