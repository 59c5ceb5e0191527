// Captures what native code writes to standard output (printf), by pointing
// file descriptor 1 at a temporary file. What was captured is also passed on to
// the real standard output when the capture ends, so nothing printed is hidden
// from the test log (ctest scans it for JNI warnings).
#pragma once

#include <string>

namespace plexa::test {

class StdoutCapture {
public:
    StdoutCapture();
    ~StdoutCapture();
    StdoutCapture(const StdoutCapture&) = delete;
    StdoutCapture& operator=(const StdoutCapture&) = delete;

    // Ends the capture and returns the bytes written since it began.
    std::string finish();

private:
    int savedFd_ = -1;
    int captureFd_ = -1;
    std::string captured_;
    bool finished_ = false;
};

}  // namespace plexa::test
