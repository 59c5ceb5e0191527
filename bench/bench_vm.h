// The VM of a benchmark: the reference classes and test fixtures on its class
// path like the tests' VM, but without the JNI checker, so that what is
// measured is what users run.
#pragma once

#include "jvm.h"

#include <cstdio>

namespace plexa::bench {

inline plexa::test::Jvm& startBenchVm() {
    plexa::test::JvmOptions options;
    options.checkJni = false;
    return plexa::test::Jvm::start(options);
}

// One result line that scripts/bench.sh gathers: "FIGURE <name> <value>".
inline void printRatioFigure(const char* name, double ratio) { std::printf("FIGURE %s %.2f\n", name, ratio); }
inline void printMillisecondsFigure(const char* name, double ms) { std::printf("FIGURE %s %.3f\n", name, ms); }
inline void printCountFigure(const char* name, double count) { std::printf("FIGURE %s %.2f\n", name, count); }

}  // namespace plexa::bench
