// Windows file names are UTF-16: fopen would read a UTF-8 name in the ANSI code
// page and turn every non-ASCII character into the wrong one.
#include "plexa/file_owner.h"
#include "plexa/files.h"

#include "plexa/platform.h"

#include <io.h>

#include <cerrno>
#include <climits>
#include <string>

namespace plexa {
namespace {

// UTF-8 to UTF-16; false on a malformed sequence, which MultiByteToWideChar
// would otherwise replace with U+FFFD and so open a file of another name.
bool toWide(const std::string& utf8, std::wstring& wide) {
    wide.clear();
    if (utf8.empty()) return true;
    if (utf8.size() > static_cast<std::size_t>(INT_MAX)) return false;
    const int length = static_cast<int>(utf8.size());
    const int needed = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, nullptr, 0);
    if (needed <= 0) return false;
    wide.resize(static_cast<std::size_t>(needed));
    return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, &wide[0], needed) == needed;
}

}  // namespace

std::FILE* openFile(const std::string& utf8Path, const char* mode) {
    std::wstring widePath, wideMode;
    if (mode == nullptr || utf8Path.find('\0') != std::string::npos || !toWide(utf8Path, widePath) ||
        !toWide(mode, wideMode)) {
        errno = EINVAL;
        return nullptr;
    }
    return _wfopen(widePath.c_str(), wideMode.c_str());
}

FileOwner createRegularFile(const std::string& utf8Path) {
    // Windows has no FIFO in the file system; a device name (NUL, CON, COM1)
    // opens without waiting and is refused once its type is known.
    FileOwner file(openFile(utf8Path, "wb"));
    if (file && GetFileType(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file.get())))) != FILE_TYPE_DISK) {
        file.reset();
        errno = EINVAL;
    }
    return file;
}

bool removeFile(const std::string& utf8Path) {
    std::wstring widePath;
    return utf8Path.find('\0') == std::string::npos && toWide(utf8Path, widePath) && _wremove(widePath.c_str()) == 0;
}

}  // namespace plexa
