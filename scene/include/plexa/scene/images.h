// Where a render writes the images of a depth camera. Every pointer may be
// null (that image is skipped); each non-null one has room for width x height
// elements of the camera's resolution, row 0 at the top.
#pragma once

#include <cstdint>

namespace plexa::scene {

struct DepthImages {
    std::uint16_t* depthMm = nullptr;               // millimetres along z; 0 = no reading
    std::uint8_t* personIndex = nullptr;            // slot 0..5 of a tracked person, else kNoPerson
    std::uint16_t* depthWithPlayer = nullptr;       // first-generation sample: depthMm << 3 | (slot + 1, 0 none)
    std::uint16_t* infrared = nullptr;              // active infrared, falling with distance
    std::uint16_t* longExposureInfrared = nullptr;  // the same, brighter and saturating sooner
};

}  // namespace plexa::scene
