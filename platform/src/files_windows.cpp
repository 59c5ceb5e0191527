// Windows file names are UTF-16: fopen would read a UTF-8 name in the ANSI code
// page and turn every non-ASCII character into the wrong one.
#include "plexa/files.h"

#include "wide_text.h"

#include <io.h>

#include <cerrno>
#include <filesystem>
#include <string>

namespace plexa {

std::FILE* openFile(const std::string& utf8Path, const char* mode) {
    std::wstring widePath, wideMode;
    if (mode == nullptr || utf8Path.find('\0') != std::string::npos || !toWide(utf8Path, widePath) ||
        !toWide(mode, wideMode)) {
        errno = EINVAL;
        return nullptr;
    }
    return _wfopen(widePath.c_str(), wideMode.c_str());
}

std::FILE* openRegularFileToRead(const std::string& utf8Path, bool& notRegular) {
    notRegular = false;
    std::wstring widePath;
    if (utf8Path.find('\0') != std::string::npos || !toWide(utf8Path, widePath)) {
        errno = EINVAL;
        return nullptr;
    }
    // Named pipes and devices have names outside the file system's folders
    // (\\.\pipe\...) or are not regular files in them: refused unopened.
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(std::filesystem::path(widePath), error);
    if (!error && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        notRegular = true;
        errno = EINVAL;
        return nullptr;
    }
    return _wfopen(widePath.c_str(), L"rb");
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
