// Files by name. Names inside the system are UTF-8 (as Java hands them over);
// the platform's own calls may want another encoding.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

namespace plexa {

// Sole owner of an open C stream.
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

// std::fopen for a UTF-8 path. Returns nullptr (errno set) when the file
// cannot be opened, or on Windows when the name is not valid UTF-8.
std::FILE* openFile(const std::string& utf8Path, const char* mode);

// Opens an existing regular file to read ("rb"), by UTF-8 name, and never
// blocks: a FIFO, a device or a socket is refused without being waited on
// (nullptr, and `notRegular` set), as is a folder. Otherwise nullptr with
// errno set when the file cannot be opened.
std::FILE* openRegularFileToRead(const std::string& utf8Path, bool& notRegular);

// The one way a file is made for writing: opens the file of a UTF-8 name from
// its start, binary, creating it when missing and emptying it when it is a
// regular file. Anything that is not a regular file (a FIFO, a device, a
// folder) is refused without waiting for a reader or a device and without
// changing it: null, errno set.
FileOwner createRegularFile(const std::string& utf8Path);

// Removes the file of a UTF-8 name; false when it could not be removed.
bool removeFile(const std::string& utf8Path);

}  // namespace plexa
