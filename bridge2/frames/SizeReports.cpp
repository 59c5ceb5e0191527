#include "SizeReports.h"

namespace plexa::bridge2 {

bool ReportedSize::update(int width, int height) {
    if (known_ && width == width_ && height == height_) return false;
    known_ = true;
    width_ = width;
    height_ = height;
    return true;
}

}  // namespace plexa::bridge2
