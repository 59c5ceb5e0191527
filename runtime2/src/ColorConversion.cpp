#include "ColorConversion.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace plexa::virtual2 {
namespace {

// The BT.601 coefficients in 16.16 fixed point.
constexpr int kRedFromV = 91881;     // 1.402
constexpr int kGreenFromU = 22554;   // 0.344136
constexpr int kGreenFromV = 46802;   // 0.714136
constexpr int kBlueFromU = 116130;   // 1.772
constexpr int kRoundHalf = 1 << 15;

inline std::uint8_t clampByte(int value) {
    return static_cast<std::uint8_t>(value < 0 ? 0 : (value > 255 ? 255 : value));
}

// Chroma terms are shared by the two pixels of a pair. Right shifts of
// negative values are arithmetic on every compiler we build with (and
// guaranteed from C++20), so they round like the positive ones.
struct Chroma {
    int red;
    int green;
    int blue;
};

inline Chroma chromaOf(int u, int v) {
    const int cu = u - 128;
    const int cv = v - 128;
    return Chroma{(kRedFromV * cv + kRoundHalf) >> 16, (-kGreenFromU * cu - kGreenFromV * cv + kRoundHalf) >> 16,
                  (kBlueFromU * cu + kRoundHalf) >> 16};
}

inline void writePixel(int y, const Chroma& chroma, std::uint8_t* out, bool redFirst) {
    const std::uint8_t red = clampByte(y + chroma.red);
    const std::uint8_t blue = clampByte(y + chroma.blue);
    out[0] = redFirst ? red : blue;
    out[1] = clampByte(y + chroma.green);
    out[2] = redFirst ? blue : red;
    out[3] = 255;
}

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

}  // namespace

unsigned colorBytesPerPixel(ColorImageFormat format) {
    switch (format) {
        case ColorImageFormat_Rgba:
        case ColorImageFormat_Bgra:
            return 4;
        case ColorImageFormat_Yuy2:
        case ColorImageFormat_Yuv:
            return 2;
        case ColorImageFormat_Bayer:
            return 1;
        case ColorImageFormat_None:
            break;
    }
    return 0;
}

void convertYuy2(const std::uint8_t* yuy2, std::size_t yuy2Size, std::size_t pixelCount, std::uint8_t* out,
                 bool redFirst) {
    const std::size_t pairs = pixelCount / 2;
    for (std::size_t pair = 0; pair < pairs; ++pair, yuy2 += 4, out += 8) {
        const Chroma chroma = chromaOf(yuy2[1], yuy2[3]);
        writePixel(yuy2[0], chroma, out, redFirst);
        writePixel(yuy2[2], chroma, out + 4, redFirst);
    }
    if (pixelCount % 2 != 0) {
        // An odd last pixel has a half pair: Y and U, and V only if the
        // buffer happens to hold it.
        const std::size_t offset = pairs * 4;
        const int v = offset + 3 < yuy2Size ? yuy2[3] : 128;
        writePixel(yuy2[0], chromaOf(yuy2[1], v), out, redFirst);
    }
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
        default:
            return E_FAIL;
    }
}

}  // namespace plexa::virtual2
