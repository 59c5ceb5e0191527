// Reference counting and QueryInterface, shared by every object the runtime
// hands out. An object starts with the one reference its creator hands to the
// caller; the last Release destroys it. Its table is the interface's: the
// slots the runtime does not offer come from NotOffered.
#pragma once

#include "InterfaceIds.h"
#include "NotOffered.h"
#include "RecycledBlocks.h"
#include "runtime2/KinectRuntime.h"

#include <atomic>
#include <memory>
#include <utility>

namespace plexa::virtual2 {

// The runtime objects alive, for tests that prove every object handed out was
// given back. A plain atomic, trivially destructible, so objects released
// while the process exits still find it.
inline std::atomic<int> aliveObjects{0};

template <class Interface>
class RefCounted : public NotOffered<Interface> {
public:
    RefCounted() { aliveObjects.fetch_add(1, std::memory_order_relaxed); }
    RefCounted(const RefCounted&) = delete;
    RefCounted& operator=(const RefCounted&) = delete;
    // The interfaces have no destructor; this one (a slot after theirs) lets
    // the last Release destroy the whole object.
    virtual ~RefCounted() { aliveObjects.fetch_sub(1, std::memory_order_relaxed); }

    // Frame objects come and go with every frame: their memory is recycled.
    static void* operator new(std::size_t bytes) { return takeRecycledBlock(bytes); }
    static void operator delete(void* object, std::size_t bytes) noexcept { giveBackRecycledBlock(object, bytes); }

    // Each object is one interface: it answers that interface and IUnknown
    // with the same pointer, and nothing else.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID interfaceId, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (!(interfaceId == interfaceIdOf<Interface>()) && !(interfaceId == kUnknownInterfaceId)) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        *object = static_cast<Interface*>(this);
        return S_OK;
    }

    ULONG STDMETHODCALLTYPE AddRef() override { return references_.fetch_add(1, std::memory_order_relaxed) + 1; }

    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG remaining = references_.fetch_sub(1, std::memory_order_acq_rel) - 1;
        if (remaining == 0) delete this;
        return remaining;
    }

    // Takes a reference unless the object is already on its way out (count at
    // zero); for caches that hold an object without owning a reference.
    bool tryAddRef() {
        ULONG current = references_.load(std::memory_order_relaxed);
        while (current != 0) {
            if (references_.compare_exchange_weak(current, current + 1, std::memory_order_acq_rel)) return true;
        }
        return false;
    }

private:
    std::atomic<ULONG> references_{1};
};

// Creates an object whose ownership passes to its reference count: the
// caller's one reference, given back with Release.
template <class Object, class... Arguments>
Object* handOut(Arguments&&... arguments) {
    return std::make_unique<Object>(std::forward<Arguments>(arguments)...).release();
}

// One reference the runtime itself holds on an object, given back when the
// holder goes.
struct ReleaseReference {
    void operator()(IUnknown* object) const { object->Release(); }
};
template <class Object>
using HeldReference = std::unique_ptr<Object, ReleaseReference>;

template <class Object>
HeldReference<Object> holdReference(Object& object) {
    object.AddRef();
    return HeldReference<Object>(&object);
}

}  // namespace plexa::virtual2
