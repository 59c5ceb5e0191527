#include "CameraModel.h"

#include <cmath>

namespace plexa::virtual1 {

Intrinsics intrinsicsAt(ImageSize size) {
    const auto width = static_cast<float>(size.width);
    const auto height = static_cast<float>(size.height);
    return Intrinsics{(width * 285.63f) / 320.0f, width * 0.5f - 0.5f, height * 0.5f - 0.5f};
}

void mapDepthToColor(ImageSize depthSize, ImageSize colorSize, const USHORT* samples, LONG* colorCoordinates) {
    const Intrinsics depth = intrinsicsAt(depthSize);
    const Intrinsics color = intrinsicsAt(colorSize);
    // Same field of view: a ray keeps its angle, only the pixel scale changes.
    const double scale = static_cast<double>(color.focal) / depth.focal;
    // Parallax in color pixels is this over the depth in metres.
    const double parallaxAtOneMetre = static_cast<double>(color.focal) * colorCameraOffsetMetres;
    for (int row = 0; row < depthSize.height; ++row) {
        const double colorRow = scale * (row - depth.centreRow) + color.centreRow;
        const auto roundedRow = static_cast<LONG>(std::floor(colorRow + 0.5));
        for (int column = 0; column < depthSize.width; ++column) {
            const int millimetres = *samples++ >> 3;
            double colorColumn = scale * (column - depth.centreColumn) + color.centreColumn;
            if (millimetres > 0) colorColumn -= parallaxAtOneMetre * 1000.0 / millimetres;
            *colorCoordinates++ = static_cast<LONG>(std::floor(colorColumn + 0.5));
            *colorCoordinates++ = roundedRow;
        }
    }
}

NuiVector4 gravityReading(LONG elevationDegrees) {
    const double radians = elevationDegrees * 3.14159265358979323846 / 180.0;
    return NuiVector4{0.0f, static_cast<float>(-std::cos(radians)), static_cast<float>(-std::sin(radians)), 0.0f};
}

}  // namespace plexa::virtual1
