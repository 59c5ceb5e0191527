#include "ResolutionSize.h"

namespace plexa::bridge1 {

ImageSize resolutionSize(std::int32_t code) {
    switch (code) {
        case 0: return {80, 60};
        case 1: return {320, 240};
        case 2: return {640, 480};
        case 3: return {1280, 960};
        default: return {0, 0};
    }
}

}  // namespace plexa::bridge1
