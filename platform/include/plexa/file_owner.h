// Sole owner of an open C stream, and the one way a file is made for writing.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

namespace plexa {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileOwner = std::unique_ptr<std::FILE, FileCloser>;

// Closes the stream; true when everything written to it reached the file.
inline bool closeFile(FileOwner file) {
    if (!file) return false;
    const bool writesFailed = std::ferror(file.get()) != 0;
    const bool closed = std::fclose(file.release()) == 0;
    return closed && !writesFailed;
}

// Opens the file of a UTF-8 name for writing from its start, binary, creating
// it when missing and emptying it when it is a regular file. Anything that is
// not a regular file (a FIFO, a device, a folder) is refused without waiting
// for a reader or a device and without changing it: null, errno set.
FileOwner createRegularFile(const std::string& utf8Path);

// Removes the file of a UTF-8 name; false when it could not be removed.
bool removeFile(const std::string& utf8Path);

}  // namespace plexa
