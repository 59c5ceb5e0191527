// The vtable slot a compiler gives a virtual method, read from its member
// pointer. Both compilers that build the project (g++ for Linux, g++ for
// mingw-w64) follow the Itanium C++ ABI here: a pointer to a virtual member
// holds 1 + the byte offset of its slot in the table (on ARM, the byte offset,
// with the flag in the adjustment). Comparing those slots with
// the runtimes' published slot numbers proves that a call from a bridge lands
// on the method the runtime put there.
#pragma once

#include "plexa/platform.h"

#include <cstddef>
#include <cstring>

#if !defined(__GNUC__)
#error "vtable_slot.h reads Itanium-ABI member pointers; build the ABI tests with g++ or clang"
#endif

namespace plexa::test {

// Slot index of a virtual member function, or -1 when the method is not virtual.
template <typename MemberPointer>
std::ptrdiff_t vtableSlot(MemberPointer member) {
    struct ItaniumMemberPointer {
        std::ptrdiff_t ptr;
        std::ptrdiff_t adjustment;
    };
    static_assert(sizeof(MemberPointer) == sizeof(ItaniumMemberPointer), "Itanium member pointers are two words");
    ItaniumMemberPointer raw{};
    std::memcpy(&raw, &member, sizeof raw);
#if defined(__arm__) || defined(__aarch64__)
    // The ABI's ARM variant keeps the virtual flag in the adjustment's low bit
    // (a code address there may be odd), and the slot's byte offset as it is.
    if ((raw.adjustment & 1) == 0 || (raw.adjustment >> 1) != 0) return -1;
    return raw.ptr / static_cast<std::ptrdiff_t>(sizeof(void*));
#else
    if ((raw.ptr & 1) == 0 || raw.adjustment != 0) return -1;
    return (raw.ptr - 1) / static_cast<std::ptrdiff_t>(sizeof(void*));
#endif
}

// QueryInterface named through its exact type: Windows' IUnknown adds a
// template of the same name, which a plain &Interface::QueryInterface cannot
// tell from the virtual one.
template <class Interface>
std::ptrdiff_t queryInterfaceSlot() {
    using Method = HRESULT (STDMETHODCALLTYPE Interface::*)(REFIID, void**);
    return vtableSlot(static_cast<Method>(&Interface::QueryInterface));
}

}  // namespace plexa::test
