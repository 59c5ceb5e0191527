// What a process holds, for tests that prove a loop leaves nothing behind:
// threads, open descriptors, resident memory (Linux /proc), and the Java heap
// in use after full collections.
#pragma once

#include <cstddef>
#include <string>

namespace plexa::test {

struct Footprint {
    std::size_t threads = 0;  // of the program and its libraries, not the VM's own
    std::size_t descriptors = 0;
    std::size_t residentBytes = 0;
    long long javaHeapBytes = 0;
};

// AddressSanitizer keeps freed memory in quarantine (hundreds of megabytes),
// so there resident memory tells nothing about what a loop keeps.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kResidentMemoryTellsGrowth = false;
#else
inline constexpr bool kResidentMemoryTellsGrowth = true;
#endif

// Threads of the program and its libraries: the VM names its own threads (and
// those Java starts), the others keep the program's name.
std::size_t programThreadCount();

// The javaHeapBytes figure needs the test fixtures on the class path.
Footprint measureFootprint();
std::string describe(const Footprint& footprint);

}  // namespace plexa::test
