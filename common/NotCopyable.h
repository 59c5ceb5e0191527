// Base of the sole owners of the bridges and their common part (a runtime
// reference, a Java global reference, an attachment to the VM, a frame's
// working set): a copy would give the one resource back twice.
#pragma once

namespace plexa {

struct NotCopyable {
    NotCopyable() = default;
    NotCopyable(const NotCopyable&) = delete;
    NotCopyable& operator=(const NotCopyable&) = delete;
};

}  // namespace plexa
