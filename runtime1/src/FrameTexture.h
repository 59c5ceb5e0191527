// The pixels of one image frame, as LockRect hands them out.
#pragma once

#include "NotOffered.h"
#include "runtime1/NuiRuntime.h"

#include <atomic>
#include <cstdint>
#include <vector>

namespace plexa::virtual1 {

// A texture belongs to the stream that made it: the stream reuses it for a
// later frame once the caller has released this one. AddRef and Release only
// count; they never free the texture.
class FrameTexture final : public NotOffered<INuiFrameTexture> {
public:
    explicit FrameTexture(int sensorIndex) : sensorIndex_(sensorIndex) {}
    FrameTexture(const FrameTexture&) = delete;
    FrameTexture& operator=(const FrameTexture&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override;
    int STDMETHODCALLTYPE BufferLen() override;
    int STDMETHODCALLTYPE Pitch() override { return pitch_; }
    HRESULT STDMETHODCALLTYPE LockRect(UINT level, NUI_LOCKED_RECT* lockedRect, RECT* rect, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE UnlockRect(UINT level) override { return level == 0 ? S_OK : E_INVALIDARG; }

    std::vector<std::uint8_t>& bytes() { return bytes_; }
    std::int32_t pitch() const { return pitch_; }
    void setPitch(std::int32_t pitch) { pitch_ = pitch; }

private:
    int sensorIndex_;
    std::vector<std::uint8_t> bytes_;
    std::int32_t pitch_ = 0;
    std::atomic<ULONG> references_{1};
};

}  // namespace plexa::virtual1
