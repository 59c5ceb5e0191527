// Base of the bridges' sole owners (of a runtime reference, a Java global
// reference, a frame's working set): a copy would give the one resource back
// twice.
#pragma once

namespace plexa {

struct NotCopyable {
    NotCopyable() = default;
    NotCopyable(const NotCopyable&) = delete;
    NotCopyable& operator=(const NotCopyable&) = delete;
};

}  // namespace plexa
