// POSIX file names are bytes; a UTF-8 name is used as it is.
#include "plexa/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace plexa {

std::FILE* openFile(const std::string& utf8Path, const char* mode) { return std::fopen(utf8Path.c_str(), mode); }

std::FILE* openRegularFileToRead(const std::string& utf8Path, bool& notRegular) {
    notRegular = false;
    // Opened without waiting (a FIFO with no writer would block the open),
    // then looked at through the descriptor itself, so that nothing can be
    // swapped in between the look and the open.
    const int descriptor = ::open(utf8Path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (descriptor < 0) return nullptr;
    struct stat status {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        notRegular = true;
        ::close(descriptor);
        errno = EINVAL;
        return nullptr;
    }
    const int flags = ::fcntl(descriptor, F_GETFL);
    if (flags >= 0) ::fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK);
    std::FILE* file = ::fdopen(descriptor, "rb");
    if (file == nullptr) ::close(descriptor);
    return file;
}

FileOwner createRegularFile(const std::string& utf8Path) {
    // Non-blocking and without truncation until the type is known: opening a
    // FIFO for writing would otherwise wait for a reader, and truncating a
    // device is not ours to do.
    const int fd = ::open(utf8Path.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    struct stat status {};
    const bool regular = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    const int flags = regular ? ::fcntl(fd, F_GETFL) : -1;
    if (!regular || ::ftruncate(fd, 0) != 0 || flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        const int error = regular ? errno : EINVAL;
        ::close(fd);
        errno = error;
        return nullptr;
    }
    FileOwner file(::fdopen(fd, "wb"));
    if (!file) ::close(fd);
    return file;
}

bool removeFile(const std::string& utf8Path) { return std::remove(utf8Path.c_str()) == 0; }

}  // namespace plexa
