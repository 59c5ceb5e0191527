#include "jvm.h"

#include <gtest/gtest.h>

namespace plexa::test {
namespace {

TEST(Libraries, BothBridgesLoadIntoAVmAndAnswer) {
    Jvm::start();
    const jint firstGeneration = callStatic<jint>("edu/qet/brightloom/plexa/Plexa1", "_getSensorCount", "()I");
    EXPECT_EQ(takeException(Jvm::start().env()), "");
    EXPECT_GE(firstGeneration, 0);
    const jint secondGeneration = callStatic<jint>("edu/qet/brightloom/plexa/Plexa2", "_getSensorCount", "()I");
    EXPECT_EQ(takeException(Jvm::start().env()), "");
    EXPECT_EQ(secondGeneration, 1);
}

}  // namespace
}  // namespace plexa::test
