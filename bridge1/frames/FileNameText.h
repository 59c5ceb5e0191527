// A file name as Java holds it (UTF-16) turned into the UTF-8 bytes that the
// file layer takes (plexa::openFile, which widens it again on Windows).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace plexa::bridge1 {

// Converts `length` UTF-16 code units to UTF-8 in `utf8`. Refuses (false,
// `utf8` unspecified) a name that holds a NUL, which the file system would cut
// the name at, as Java's own file API refuses it, and a lone surrogate, which
// names no character and so no file Java could name either.
bool fileNameToUtf8(const std::uint16_t* units, std::size_t length, std::string& utf8);

}  // namespace plexa::bridge1
