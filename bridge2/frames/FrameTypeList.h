// The frame-type list of one multi-source frame: one code per entry, in a
// fixed order (color, depth, UV, XYZ, body index, infrared, long-exposure
// infrared, then the four body arrays together and last). Each code equals
// the selection bit of the flags word that asks for it.
#pragma once

#include <array>
#include <cstdint>

namespace plexa::bridge2 {

enum FrameTypeCode : std::int32_t {
    kColorCode = 1,
    kInfraredCode = 2,
    kLongExposureInfraredCode = 4,
    kDepthCode = 8,
    kBodyIndexCode = 16,
    kBodyTrackedCode = 32,
    kUvCode = 256,
    kBodyPositionsCode = 512,
    kBodyOrientationsCode = 1024,
    kBodyJointStatesCode = 2048,
    kXyzCode = 4096,
};

// The streams in the order the frame takes them.
enum class Stream { Color, Depth, BodyIndex, Body, Infrared, LongExposureInfrared };

class FrameTypeList {
public:
    static constexpr int kCapacity = 12;

    // The codes a taken stream enters: depth brings its mappings along when
    // they are switched on for this frame; the body stream enters nothing
    // (its entries depend on whether a body is tracked).
    void appendStream(Stream stream, bool computeUV, bool computeXYZ);
    // The four body arrays, after everything else.
    void appendBodyEntries();

    int size() const { return size_; }
    const std::int32_t* data() const { return codes_.data(); }
    std::int32_t operator[](int i) const { return codes_[static_cast<std::size_t>(i)]; }

private:
    void append(std::int32_t code);

    std::array<std::int32_t, kCapacity> codes_{};
    int size_ = 0;
};

}  // namespace plexa::bridge2
