// Which wide vector units this processor (and its operating system) offers,
// for the per-pixel loops that have variants built for them.
#pragma once

#if defined(_MSC_VER) && (defined(_M_X64) || defined(_M_AMD64))
#include <immintrin.h>
#include <intrin.h>
#endif

namespace plexa {

struct VectorUnits {
    bool avx2 = false;
    bool avx512f = false;
};

inline VectorUnits detectVectorUnits() {
    VectorUnits units;
#if (defined(__GNUC__) || defined(__clang__)) && (defined(__x86_64__) || defined(__i386__))
    // The compiler's own check also asks the operating system whether it
    // saves the wide registers.
    __builtin_cpu_init();
    units.avx2 = __builtin_cpu_supports("avx2") != 0;
    units.avx512f = __builtin_cpu_supports("avx512f") != 0;
#elif defined(_MSC_VER) && (defined(_M_X64) || defined(_M_AMD64))
    int registers[4] = {};
    __cpuid(registers, 1);
    const bool osSavesWideRegisters = (registers[2] & (1 << 27)) != 0;
    if (osSavesWideRegisters) {
        const unsigned long long saved = _xgetbv(0);
        __cpuidex(registers, 7, 0);
        units.avx2 = (saved & 0x6) == 0x6 && (registers[1] & (1 << 5)) != 0;
        units.avx512f = (saved & 0xE6) == 0xE6 && (registers[1] & (1 << 16)) != 0;
    }
#endif
    return units;
}

// Checked once per process.
inline const VectorUnits& vectorUnits() {
    static const VectorUnits units = detectVectorUnits();
    return units;
}

}  // namespace plexa
