// POSIX file names are bytes; a UTF-8 name is used as it is.
#include "plexa/files.h"

namespace plexa {

std::FILE* openFile(const std::string& utf8Path, const char* mode) { return std::fopen(utf8Path.c_str(), mode); }

}  // namespace plexa
