// Opening a file by name. Names inside the system are UTF-8 (as Java hands them
// over); the platform's own calls may want another encoding.
#pragma once

#include <cstdio>
#include <string>

namespace plexa {

// std::fopen for a UTF-8 path. Returns nullptr (errno set) when the file
// cannot be opened, or on Windows when the name is not valid UTF-8.
std::FILE* openFile(const std::string& utf8Path, const char* mode);

}  // namespace plexa
