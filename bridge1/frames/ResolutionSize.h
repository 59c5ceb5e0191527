// Image size of a first-generation resolution code.
#pragma once

#include <cstdint>

namespace plexa::bridge1 {

struct ImageSize {
    int width;
    int height;
};

// 0: 80 x 60, 1: 320 x 240, 2: 640 x 480, 3: 1280 x 960; any other code 0 x 0.
ImageSize resolutionSize(std::int32_t code);

}  // namespace plexa::bridge1
