// Captures what native code writes to standard error (file descriptor 2) into
// a temporary file, and passes it on to the real standard error at the end,
// so that nothing printed is hidden from the test log.
#pragma once

#include <cstdio>
#include <stdexcept>
#include <string>

#include <unistd.h>

namespace plexa::test {

class StderrCapture {
public:
    StderrCapture() {
        std::fflush(stderr);
        char path[] = "/tmp/plexa-stderr-XXXXXX";
        captureFd_ = ::mkstemp(path);
        if (captureFd_ < 0) throw std::runtime_error("cannot create a capture file");
        ::unlink(path);
        savedFd_ = ::dup(STDERR_FILENO);
        ::dup2(captureFd_, STDERR_FILENO);
    }
    ~StderrCapture() { finish(); }
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    // Ends the capture and returns the bytes written since it began.
    std::string finish() {
        if (finished_) return captured_;
        finished_ = true;
        std::fflush(stderr);
        ::dup2(savedFd_, STDERR_FILENO);
        ::close(savedFd_);
        ::lseek(captureFd_, 0, SEEK_SET);
        char buffer[4096];
        ssize_t n;
        while ((n = ::read(captureFd_, buffer, sizeof buffer)) > 0) captured_.append(buffer, static_cast<std::size_t>(n));
        ::close(captureFd_);
        if (!captured_.empty()) {
            ssize_t written = ::write(STDERR_FILENO, captured_.data(), captured_.size());
            (void)written;
        }
        return captured_;
    }

private:
    int savedFd_ = -1;
    int captureFd_ = -1;
    std::string captured_;
    bool finished_ = false;
};

// Lines of a text (without their line ends).
inline std::size_t lineCount(const std::string& text) {
    std::size_t lines = 0;
    for (char c : text) lines += c == '\n' ? 1 : 0;
    if (!text.empty() && text.back() != '\n') ++lines;
    return lines;
}

}  // namespace plexa::test
