// A session buffer whose size follows an image: allocated on first use for a
// width x height, kept while frames keep that size, and replaced once when
// the size changes. An allocation that fails leaves the buffer empty instead
// of throwing, so the frame that needed it goes on without it.
#pragma once

#include "ImageBounds.h"

#include <cstdint>
#include <memory>
#include <new>

namespace plexa::bridge2 {

template <typename Element, int PerPixel>
class SizedBuffer {
public:
    // Makes the buffer hold width x height pixels. True when it does; false
    // (and the buffer empty) when the size is invalid or memory runs out.
    bool ensure(int width, int height) {
        if (data_ && width == width_ && height == height_) return true;
        release();
        const std::int64_t count = bridge2::elementCount(width, height, PerPixel);
        if (count < 0) return false;
        // Zeroed, so a frame whose conversion fails delivers zeros rather than
        // whatever the allocator handed out. An empty image still gets one
        // element, so that "allocated" and "has data" stay the same question.
        data_.reset(new (std::nothrow) Element[static_cast<std::size_t>(count) + (count == 0 ? 1 : 0)]());
        if (!data_) return false;
        width_ = width;
        height_ = height;
        elements_ = count;
        ++allocations_;
        return true;
    }

    void release() {
        data_.reset();
        width_ = height_ = 0;
        elements_ = 0;
    }

    Element* data() const { return data_.get(); }
    int width() const { return width_; }
    int height() const { return height_; }
    // width x height x PerPixel while allocated, else 0.
    std::int32_t elementCount() const { return static_cast<std::int32_t>(elements_); }
    // How many times memory was taken since the session began.
    int allocations() const { return allocations_; }

private:
    std::unique_ptr<Element[]> data_;
    int width_ = 0;
    int height_ = 0;
    std::int64_t elements_ = 0;
    int allocations_ = 0;
};

}  // namespace plexa::bridge2
