#include "ColorConversion.h"

#include "plexa/scene/color_format.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace plexa::virtual2 {
namespace {

// width x height, or nothing when either is negative or the product does not
// fit the 32-bit sizes of the runtime face.
bool pixelCountOf(const ScriptedColorImage& image, std::size_t& count) {
    if (image.width < 0 || image.height < 0) return false;
    const std::uint64_t pixels = static_cast<std::uint64_t>(image.width) * static_cast<std::uint64_t>(image.height);
    if (pixels > std::numeric_limits<UINT>::max() / 4u) return false;
    count = static_cast<std::size_t>(pixels);
    return true;
}

void swapRedAndBlue(const std::uint8_t* in, std::size_t pixelCount, std::uint8_t* out) {
    for (std::size_t i = 0; i < pixelCount; ++i, in += 4, out += 4) {
        const std::uint8_t first = in[0];
        out[0] = in[2];
        out[1] = in[1];
        out[2] = first;
        out[3] = in[3];
    }
}

// `pixelCount` pixels from `yuy2` (at least 2 x pixelCount bytes) into `out`
// (4 x pixelCount bytes). `redFirst` writes RGBA instead of BGRA.
void convertYuy2(const std::uint8_t* yuy2, std::size_t yuy2Size, std::size_t pixelCount, std::uint8_t* out,
                 bool redFirst) {
    // Whole pairs go through the scene's converter as one-row images, in runs
    // that fit its int sizes.
    constexpr std::size_t kPairsPerRun = std::size_t{1} << 20;
    const std::uint8_t* in = yuy2;
    std::uint8_t* written = out;
    for (std::size_t pairs = pixelCount / 2; pairs > 0;) {
        const std::size_t run = std::min(pairs, kPairsPerRun);
        scene::yuy2ToBgra(in, static_cast<int>(2 * run), 1, written);
        in += 4 * run;
        written += 8 * run;
        pairs -= run;
    }
    if (pixelCount % 2 != 0) {
        // An odd last pixel has a half pair: Y and U, and V only if the
        // buffer happens to hold it. It is converted as a pair of itself.
        const std::size_t offset = (pixelCount / 2) * 4;
        const std::uint8_t v = offset + 3 < yuy2Size ? in[3] : 128;
        const std::uint8_t pair[4] = {in[0], in[1], in[0], v};
        std::uint8_t converted[8];
        scene::yuy2ToBgra(pair, 2, 1, converted);
        std::memcpy(written, converted, 4);
    }
    if (redFirst) swapRedAndBlue(out, pixelCount, out);
}

}  // namespace

unsigned colorBytesPerPixel(ColorImageFormat format) {
    switch (format) {
        case ColorImageFormat_Rgba:
        case ColorImageFormat_Bgra: return 4;
        case ColorImageFormat_Yuy2:
        case ColorImageFormat_Yuv: return 2;
        case ColorImageFormat_Bayer: return 1;
        case ColorImageFormat_None: break;
    }
    return 0;
}

HRESULT convertColorImage(const ScriptedColorImage& image, ColorImageFormat target, UINT capacity, BYTE* buffer) {
    if (buffer == nullptr) return E_POINTER;
    const bool targetOffered = target == ColorImageFormat_Bgra || target == ColorImageFormat_Rgba ||
                               (target == image.rawFormat && colorBytesPerPixel(target) != 0);
    if (!targetOffered) return E_INVALIDARG;
    std::size_t pixels = 0;
    if (!pixelCountOf(image, pixels)) return E_FAIL;
    if (capacity / colorBytesPerPixel(target) < pixels) return E_INVALIDARG;

    const std::size_t rawNeeded = pixels * colorBytesPerPixel(image.rawFormat);
    if (colorBytesPerPixel(image.rawFormat) == 0 || image.raw.size() < rawNeeded) return E_FAIL;
    const std::uint8_t* raw = image.raw.data();

    if (target == image.rawFormat) {
        if (rawNeeded != 0) std::memcpy(buffer, raw, rawNeeded);
        return S_OK;
    }
    switch (image.rawFormat) {
        case ColorImageFormat_Yuy2:
            convertYuy2(raw, image.raw.size(), pixels, buffer, target == ColorImageFormat_Rgba);
            return S_OK;
        case ColorImageFormat_Bgra:
        case ColorImageFormat_Rgba:
            // The only remaining pair is BGRA <-> RGBA.
            swapRedAndBlue(raw, pixels, buffer);
            return S_OK;
        default: return E_FAIL;
    }
}

}  // namespace plexa::virtual2
