#include "FrameTexture.h"

#include "CallJournal.h"

#include <algorithm>
#include <limits>

namespace plexa::virtual1 {

HRESULT FrameTexture::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_INuiFrameTexture) {
        *object = static_cast<INuiFrameTexture*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG FrameTexture::Release() {
    ULONG current = references_.load();
    while (current > 1 && !references_.compare_exchange_weak(current, current - 1)) {
    }
    return current > 1 ? current - 1 : 1;
}

int FrameTexture::BufferLen() {
    return static_cast<int>(std::min<std::size_t>(bytes_.size(), std::numeric_limits<int>::max()));
}

HRESULT FrameTexture::LockRect(UINT level, NUI_LOCKED_RECT* lockedRect, RECT* rect, DWORD flags) {
    return journal().call(Operation::LockRect, sensorIndex_, {level, asInteger(lockedRect), asInteger(rect), flags},
                          [&]() -> HRESULT {
                              if (lockedRect == nullptr) return E_POINTER;
                              if (level != 0) return E_INVALIDARG;
                              // Frames come from a stream's resolution, at most 1280 x 960 x 4 bytes.
                              if (bytes_.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
                                  return E_FAIL;
                              }
                              lockedRect->Pitch = pitch_;
                              lockedRect->size = static_cast<std::int32_t>(bytes_.size());
                              lockedRect->pBits = bytes_.empty() ? nullptr : bytes_.data();
                              return S_OK;
                          });
}

}  // namespace plexa::virtual1
