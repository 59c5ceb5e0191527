// UTF-8 names to the UTF-16 of Windows' wide-character calls.
#pragma once

#include "plexa/platform.h"

#include <climits>
#include <string>

namespace plexa {

// UTF-8 to UTF-16; false on a malformed sequence, which MultiByteToWideChar
// would otherwise replace with U+FFFD and so name another file.
inline bool toWide(const std::string& utf8, std::wstring& wide) {
    wide.clear();
    if (utf8.empty()) return true;
    if (utf8.size() > static_cast<std::size_t>(INT_MAX)) return false;
    const int length = static_cast<int>(utf8.size());
    const int needed = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, nullptr, 0);
    if (needed <= 0) return false;
    wide.resize(static_cast<std::size_t>(needed));
    return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, &wide[0], needed) == needed;
}

}  // namespace plexa
