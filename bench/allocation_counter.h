// Counts the native allocations that the bridges and the virtual sensors make
// (malloc, calloc, realloc, the aligned forms and every operator new), by
// replacing the allocation functions for the whole benchmark process. Only
// calls from the code of our own libraries count, and only on threads other
// than the one that started counting: the VM's own allocations (attaching a
// thread, compiling a method) and the benchmark's are not the pipelines'.
// glibc only: the replacements forward to glibc's own entry points.
#pragma once

#include <cstdint>
#include <cstdio>

namespace plexa::bench {

// Notes where the libraries whose file names contain one of the given
// fragments are loaded (call once they are loaded).
void attributeAllocationsTo(const char* const* nameFragments, int fragmentCount);

// Counting between start and stop; stop returns the allocations counted.
void startCountingAllocations();
std::int64_t stopCountingAllocations();

// Lists where the allocations counted so far were made (library, offset,
// nearest exported symbol), and forgets them.
void reportAllocationSites(std::FILE* out);

}  // namespace plexa::bench
