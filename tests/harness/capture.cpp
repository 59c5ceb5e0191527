#include "capture.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include <unistd.h>

namespace plexa::test {

StdoutCapture::StdoutCapture() {
    std::fflush(stdout);
    char path[] = "/tmp/plexa-stdout-XXXXXX";
    captureFd_ = ::mkstemp(path);
    if (captureFd_ < 0) throw std::runtime_error("cannot create a capture file");
    ::unlink(path);
    savedFd_ = ::dup(STDOUT_FILENO);
    ::dup2(captureFd_, STDOUT_FILENO);
}

StdoutCapture::~StdoutCapture() {
    finish();
}

std::string StdoutCapture::finish() {
    if (finished_) return captured_;
    finished_ = true;
    std::fflush(stdout);
    ::dup2(savedFd_, STDOUT_FILENO);
    ::close(savedFd_);
    ::lseek(captureFd_, 0, SEEK_SET);
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(captureFd_, buffer, sizeof buffer)) > 0) captured_.append(buffer, static_cast<std::size_t>(n));
    ::close(captureFd_);
    if (!captured_.empty()) {
        ssize_t written = ::write(STDOUT_FILENO, captured_.data(), captured_.size());
        (void)written;
    }
    return captured_;
}

}  // namespace plexa::test
