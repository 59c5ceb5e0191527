// The wide loops of the color conversions, one per instruction set, each giving
// the portable loop's integers. Each converts whole blocks of pairs from the
// start and returns how many pairs it did; the caller finishes the rest.
#pragma once

#include <cstddef>
#include <cstdint>

namespace plexa::scene::kernels {

// Built with AVX2 (x86-64 only); call it only where the processor has AVX2.
std::size_t yuy2PairsToBgraAvx2(const std::uint8_t* in, std::size_t pairs, std::uint8_t* out);

}  // namespace plexa::scene::kernels
