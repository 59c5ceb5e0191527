// Opening a file by name. Names inside the system are UTF-8 (as Java hands them
// over); the platform's own calls may want another encoding.
#pragma once

#include <cstdio>
#include <string>

namespace plexa {

// std::fopen for a UTF-8 path. Returns nullptr (errno set) when the file
// cannot be opened, or on Windows when the name is not valid UTF-8.
std::FILE* openFile(const std::string& utf8Path, const char* mode);

// Opens an existing regular file to read ("rb"), by UTF-8 name, and never
// blocks: a FIFO, a device or a socket is refused without being waited on
// (nullptr, and `notRegular` set), as is a folder. Otherwise nullptr with
// errno set when the file cannot be opened.
std::FILE* openRegularFileToRead(const std::string& utf8Path, bool& notRegular);

}  // namespace plexa
