#include "StatusMap.h"

#include "runtime1/NuiRuntime.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace plexa::bridge1 {
namespace {

TEST(StatusMap, TheSeventeenSensorCodesBecomeTheirLowSixteenBits) {
    const struct {
        std::uint32_t runtime;
        std::int32_t status;
    } mapped[] = {
        {0x03010001u, 1},   {0x83010002u, 2},   {0x83010003u, 3},  {0x83010004u, 4},  {0x83010005u, 5},
        {0x83010006u, 6},   {0x83010007u, 7},   {0x83010008u, 8},  {0x83010009u, 9},  {0x8301000Du, 13},
        {0x8301000Eu, 14},  {0x8301000Fu, 15},  {0x83010014u, 20}, {0x83010015u, 21}, {0x830100AAu, 170},
        {0x8301027Fu, 639}, {0x83010585u, 1413},
    };
    for (const auto& code : mapped) {
        EXPECT_EQ(statusFromResult(static_cast<std::int32_t>(code.runtime)), code.status) << std::hex << code.runtime;
    }
}

TEST(StatusMap, EveryOtherCodePassesUnchanged) {
    const std::uint32_t unchanged[] = {
        0x00000000u,  // success
        0x00000001u,
        0x83010001u,  // no frame: a sensor code that is not in the table
        0x8301000Au, 0x83010016u, 0x8301027Eu, 0x83010586u,
        0x80004005u, 0x8007000Eu, 0x80070057u,  // general failures
        0x03010002u,  // a success with a sensor facility that is not listed
        0xFFFFFFFFu, 0x7FFFFFFFu,
    };
    for (std::uint32_t code : unchanged) {
        EXPECT_EQ(statusFromResult(static_cast<std::int32_t>(code)), static_cast<std::int32_t>(code))
            << std::hex << code;
    }
    EXPECT_LT(statusFromResult(static_cast<std::int32_t>(0x83010001u)), 0) << "a failure stays negative";
}

}  // namespace
}  // namespace plexa::bridge1
