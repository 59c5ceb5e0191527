// What every end-to-end test checks once the bridge is stopped: the threads
// it started have ended, and the fake VM saw no misuse and holds nothing for
// a thread that is gone.
#pragma once

#include "FakeJvm.h"
#include "Platform.h"
#include "wait_until.h"

#include <gtest/gtest.h>

#include <string>

namespace plexa::e2e {

inline void expectVmClean(const FakeJvm& jvm) {
    const FakeJvm::Balance balance = jvm.balance();
    EXPECT_GT(balance.attaches, 0) << "no delivery ever attached";
    EXPECT_EQ(balance.attaches, balance.detaches);
    EXPECT_EQ(balance.attachedNow, 0) << "a thread is still attached";
    EXPECT_EQ(balance.liveLocals, 0u) << "local references outlived their delivery";
    EXPECT_EQ(balance.describedExceptions, 0) << "a callback threw";
    EXPECT_EQ(balance.outstandingStrings, 0);
    EXPECT_EQ(balance.outstandingCriticalArrays, 0);
    std::string violations;
    for (const std::string& violation : jvm.violations()) violations += "\n  " + violation;
    EXPECT_TRUE(violations.empty()) << "JNI misuse:" << violations;
}

// Threads end a moment after the join that waits for them to return.
inline void expectThreadCountBackTo(int before) {
    int now = -1;
    EXPECT_TRUE(plexa::test::waitUntil([&] { return (now = processThreadCount()) == before; }))
        << now << " threads now, " << before << " before the start";
}

}  // namespace plexa::e2e
