// The VM of a benchmark: the reference classes and test fixtures on its class
// path like the tests' VM, but without the JNI checker, so that what is
// measured is what users run.
#pragma once

#include "jvm.h"

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace plexa::bench {

inline plexa::test::Jvm& startBenchVm(std::vector<std::string> extraOptions = {}) {
    plexa::test::JvmOptions options;
    options.checkJni = false;
    options.extraOptions = std::move(extraOptions);
    return plexa::test::Jvm::start(options);
}

// A VM that streams for long, started as the demo's is (scripts/demo.vmoptions):
// its whole heap (512 MB here) committed and touched up front, so that taking
// pages for fresh arrays costs no page faults while it is measured.
inline plexa::test::Jvm& startStreamingBenchVm() { return startBenchVm({"-Xms512m", "-XX:+AlwaysPreTouch"}); }

// One result line that scripts/bench.sh gathers: "FIGURE <name> <value>".
inline void printRatioFigure(const char* name, double ratio) { std::printf("FIGURE %s %.2f\n", name, ratio); }
inline void printMillisecondsFigure(const char* name, double ms) { std::printf("FIGURE %s %.3f\n", name, ms); }
inline void printCountFigure(const char* name, double count) { std::printf("FIGURE %s %.2f\n", name, count); }

}  // namespace plexa::bench
