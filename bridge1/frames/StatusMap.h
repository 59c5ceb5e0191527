// The status code that _startNUI and _getStatus hand to Java for a runtime
// result code.
#pragma once

#include <cstdint>

namespace plexa::bridge1 {

// The runtime's own sensor codes (facility 0x0301) become their low 16 bits,
// so Java sees small numbers: 1 still initialising, 2 stream not enabled, ...,
// 639 not powered, 1413 bad index. Every other code, success or failure,
// passes unchanged (a failure stays negative).
std::int32_t statusFromResult(std::int32_t result);

}  // namespace plexa::bridge1
