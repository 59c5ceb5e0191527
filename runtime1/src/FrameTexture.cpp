#include "FrameTexture.h"

#include "CallJournal.h"

#include <limits>

namespace plexa::virtual1 {

ULONG FrameTexture::AddRef() {
    return ++references_;
}

ULONG FrameTexture::Release() {
    ULONG current = references_.load();
    while (current > 1 && !references_.compare_exchange_weak(current, current - 1)) {
    }
    return current > 1 ? current - 1 : 1;
}

HRESULT FrameTexture::LockRect(UINT level, NuiLockedRect* lockedRect, void* rect, DWORD flags) {
    return journal().call(Operation::LockRect, sensorIndex_,
                          {level, asInteger(lockedRect), asInteger(rect), flags}, [&]() -> HRESULT {
                              if (lockedRect == nullptr) return E_POINTER;
                              if (level != 0) return E_INVALIDARG;
                              // Frames come from a stream's resolution, at most 1280 x 960 x 4 bytes.
                              if (bytes_.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
                                  return E_FAIL;
                              }
                              lockedRect->pitch = pitch_;
                              lockedRect->size = static_cast<std::int32_t>(bytes_.size());
                              lockedRect->bits = bytes_.empty() ? nullptr : bytes_.data();
                              return S_OK;
                          });
}

HRESULT FrameTexture::UnlockRect(UINT level) {
    return level == 0 ? S_OK : E_INVALIDARG;
}

}  // namespace plexa::virtual1
