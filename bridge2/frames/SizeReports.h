// The image sizes last reported to Java, one per image stream. A size is
// reported whenever it differs from the last one (so a size that changes back
// and forth is reported at every change); a fresh session has reported
// nothing, so the first frame of each stream always reports.
#pragma once

namespace plexa::bridge2 {

class ReportedSize {
public:
    // Records width x height; true when it differs from the last report (or
    // nothing was reported yet), that is, when Java must hear of it.
    bool update(int width, int height) {
        if (known_ && width == width_ && height == height_) return false;
        known_ = true;
        width_ = width;
        height_ = height;
        return true;
    }
    void clear() { known_ = false; }

private:
    bool known_ = false;
    int width_ = 0;
    int height_ = 0;
};

struct SizeReports {
    ReportedSize color;
    ReportedSize depth;
    ReportedSize infrared;
    ReportedSize longExposureInfrared;
};

}  // namespace plexa::bridge2
