// A locked frame buffer checked against the image it is meant to hold.
//
// The runtime describes a locked buffer by its pitch (bytes per row), its
// size and its first byte. Nothing is read from it until those agree with the
// image: `pitch` of 0 is an empty frame; a negative size or pitch, a pitch
// shorter than one packed row, or a size below pitch x height means the
// buffer cannot hold the image, and it is left alone (so is any buffer when
// the image has no pixels). Rows may carry padding (pitch larger than the
// packed row); they are then read one by one.
#pragma once

#include "NativeBuffers.h"
#include "runtime1/NuiRuntime.h"

#include <cstddef>
#include <cstdint>

namespace plexa::bridge1 {

class LockedImage {
public:
    enum class State {
        Empty,     // pitch 0: nothing to deliver
        TooSmall,  // the buffer cannot hold the image: nothing may be read
        Ready,
    };

    LockedImage(const NUI_LOCKED_RECT& rect, int width, int height, int bytesPerPixel);

    State state() const { return state_; }
    bool ready() const { return state_ == State::Ready; }

    // Bytes of one row without padding, and of the whole image packed.
    std::size_t packedRowBytes() const { return packedRowBytes_; }
    std::size_t packedBytes() const { return packedRowBytes_ * static_cast<std::size_t>(height_); }

    // The image as one packed block whose start is aligned for `alignment`:
    // the locked buffer itself when its rows are packed and it is suitably
    // aligned, otherwise a row-by-row copy into `scratch`. Null when the image
    // is not ready or scratch memory is short.
    const std::uint8_t* packed(GrowingBuffer& scratch, std::size_t alignment) const;

private:
    State state_ = State::TooSmall;
    const std::uint8_t* bits_ = nullptr;
    std::size_t pitch_ = 0;
    std::size_t packedRowBytes_ = 0;
    int height_ = 0;
};

}  // namespace plexa::bridge1
