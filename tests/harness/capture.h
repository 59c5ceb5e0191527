// Captures what native code writes to standard output (printf) or standard
// error, by pointing the stream's file descriptor at a temporary file. What was
// captured is also passed on to the real stream when the capture ends, so
// nothing printed is hidden from the test log (ctest scans it for JNI
// warnings). Header-only, for tests with and without a Java VM.
#pragma once

#include <cstdio>
#include <stdexcept>
#include <string>

#include <unistd.h>

namespace plexa::test {

class StreamCapture {
public:
    StreamCapture(const StreamCapture&) = delete;
    StreamCapture& operator=(const StreamCapture&) = delete;
    ~StreamCapture() { finish(); }

    // The bytes written so far; the capture goes on.
    std::string text() const {
        if (finished_) return captured_;
        std::fflush(stream_);
        std::string text;
        char buffer[4096];
        ssize_t n;
        off_t offset = 0;
        while ((n = ::pread(captureFd_, buffer, sizeof buffer, offset)) > 0) {
            text.append(buffer, static_cast<std::size_t>(n));
            offset += n;
        }
        return text;
    }

    // Ends the capture and returns the bytes written since it began.
    std::string finish() {
        if (finished_) return captured_;
        captured_ = text();
        finished_ = true;
        ::dup2(savedFd_, fd_);
        ::close(savedFd_);
        ::close(captureFd_);
        if (!captured_.empty()) {
            const ssize_t written = ::write(fd_, captured_.data(), captured_.size());
            (void)written;
        }
        return captured_;
    }

protected:
    StreamCapture(std::FILE* stream, int fd) : stream_(stream), fd_(fd) {
        std::fflush(stream_);
        char path[] = "/tmp/plexa-capture-XXXXXX";
        captureFd_ = ::mkstemp(path);
        if (captureFd_ < 0) throw std::runtime_error("cannot create a capture file");
        ::unlink(path);
        savedFd_ = ::dup(fd_);
        ::dup2(captureFd_, fd_);
    }

private:
    std::FILE* stream_;
    int fd_;
    int savedFd_ = -1;
    int captureFd_ = -1;
    std::string captured_;
    bool finished_ = false;
};

class StdoutCapture : public StreamCapture {
public:
    StdoutCapture() : StreamCapture(stdout, STDOUT_FILENO) {}
};

class StderrCapture : public StreamCapture {
public:
    StderrCapture() : StreamCapture(stderr, STDERR_FILENO) {}
};

// Lines of a text (a last line without its line end counts too).
inline std::size_t lineCount(const std::string& text) {
    std::size_t lines = 0;
    for (char c : text) lines += c == '\n' ? 1 : 0;
    if (!text.empty() && text.back() != '\n') ++lines;
    return lines;
}

}  // namespace plexa::test
