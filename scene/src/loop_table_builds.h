// The per-pixel loop tables (mapping_loops.h, hit_rows.h, shade_rows.h) are
// each written once in a .inc and built twice: portable, and for AVX2 on
// x86-64 (pixel_loops_avx2.cpp), with the same arithmetic, so the results are
// the same bit for bit. Each table's accessor gives the widest build this
// processor runs.
#pragma once

// Declares a table's builds: portable::name, and avx2::name (x86-64 only).
#define PLEXA_LOOP_TABLE_BUILDS(Table, name) \
    namespace portable {                     \
    extern const Table name;                 \
    }                                        \
    namespace avx2 {                         \
    extern const Table name;                 \
    }
