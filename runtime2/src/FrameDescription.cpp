#include "FrameDescription.h"

#include "CameraModel.h"
#include "Instrumentation.h"

#include <cstdint>
#include <limits>

namespace plexa::virtual2 {
namespace {

const FieldOfView& viewOf(FrameKind kind) {
    const CameraModel& model = CameraModel::instance();
    return kind == FrameKind::Color ? model.colorFieldOfView() : model.depthFieldOfView();
}

// A scripted frame may claim any size; the length saturates instead of
// wrapping, and a negative side counts as empty.
UINT lengthOf(int width, int height) {
    if (width <= 0 || height <= 0) return 0;
    const std::uint64_t length = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
    return length > std::numeric_limits<UINT>::max() ? std::numeric_limits<UINT>::max() : static_cast<UINT>(length);
}

}  // namespace

FrameDescription::FrameDescription(FrameKind kind, int width, int height, UINT bytesPerPixel)
    : kind_(kind), width_(width), height_(height), bytesPerPixel_(bytesPerPixel) {}

HRESULT STDMETHODCALLTYPE FrameDescription::get_Width(int* width) {
    return answer({Operation::DescriptionGetWidth, kind_}, width, width_);
}

HRESULT STDMETHODCALLTYPE FrameDescription::get_Height(int* height) {
    return answer({Operation::DescriptionGetHeight, kind_}, height, height_);
}

HRESULT STDMETHODCALLTYPE FrameDescription::get_HorizontalFieldOfView(float* degrees) {
    return answer({Operation::DescriptionGetHorizontalFieldOfView, kind_}, degrees, viewOf(kind_).horizontal);
}

HRESULT STDMETHODCALLTYPE FrameDescription::get_VerticalFieldOfView(float* degrees) {
    return answer({Operation::DescriptionGetVerticalFieldOfView, kind_}, degrees, viewOf(kind_).vertical);
}

HRESULT STDMETHODCALLTYPE FrameDescription::get_DiagonalFieldOfView(float* degrees) {
    return answer({Operation::DescriptionGetDiagonalFieldOfView, kind_}, degrees, viewOf(kind_).diagonal);
}

HRESULT STDMETHODCALLTYPE FrameDescription::get_LengthInPixels(UINT* length) {
    return answer({Operation::DescriptionGetLengthInPixels, kind_}, length, lengthOf(width_, height_));
}

HRESULT STDMETHODCALLTYPE FrameDescription::get_BytesPerPixel(UINT* bytesPerPixel) {
    return answer({Operation::DescriptionGetBytesPerPixel, kind_}, bytesPerPixel, bytesPerPixel_);
}

HRESULT describeFrame(FrameKind kind, int width, int height, UINT bytesPerPixel, IFrameDescription** description) {
    if (description != nullptr) *description = nullptr;
    return traced({Operation::FrameGetFrameDescription, kind}, {}, [&] {
        if (description == nullptr) return E_POINTER;
        *description = handOut<FrameDescription>(kind, width, height, bytesPerPixel);
        return S_OK;
    });
}

}  // namespace plexa::virtual2
