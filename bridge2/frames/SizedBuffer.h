// A frame buffer whose size follows an image: allocated on first use for a
// width x height, kept while frames keep that size, and replaced once when the
// size changes; a new session starts it over in the memory it has. An
// allocation that fails leaves the buffer empty instead of throwing, so the
// frame that needed it goes on without it.
#pragma once

#include "ImageBounds.h"

#include <algorithm>
#include <cstddef>
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
        if (data_ && !startingOver_ && width == width_ && height == height_) return true;
        const std::int64_t count = bridge2::elementCount(width, height, PerPixel);
        if (count < 0) {
            release();
            return false;
        }
        // An empty image still gets one element, so that "allocated" and
        // "has data" stay the same question.
        const std::size_t needed = static_cast<std::size_t>(count) + (count == 0 ? 1 : 0);
        if (startingOver_ && data_ && needed <= capacity_) {
            std::fill_n(data_.get(), needed, Element());
        } else {
            release();
            // Zeroed, so a frame whose conversion fails delivers zeros rather
            // than whatever the allocator handed out.
            data_.reset(new (std::nothrow) Element[needed]());
            if (!data_) return false;
            capacity_ = needed;
            ++allocations_;
        }
        startingOver_ = false;
        width_ = width;
        height_ = height;
        elements_ = count;
        return true;
    }

    // For a new session: the buffer reads as empty, and the next ensure()
    // starts from zeros in the memory it holds when that is large enough.
    void startOver() {
        width_ = height_ = 0;
        elements_ = 0;
        startingOver_ = true;
    }

    void release() {
        data_.reset();
        capacity_ = 0;
        width_ = height_ = 0;
        elements_ = 0;
    }

    Element* data() const { return data_.get(); }
    int width() const { return width_; }
    int height() const { return height_; }
    // width x height x PerPixel while allocated, else 0.
    std::int32_t elementCount() const { return static_cast<std::int32_t>(elements_); }
    // How many times memory was taken.
    int allocations() const { return allocations_; }

private:
    std::unique_ptr<Element[]> data_;
    std::size_t capacity_ = 0;
    bool startingOver_ = false;
    int width_ = 0;
    int height_ = 0;
    std::int64_t elements_ = 0;
    int allocations_ = 0;
};

}  // namespace plexa::bridge2
