#include "plexa/shared_library.h"

#include "wide_text.h"

namespace plexa {

SharedLibrary::SharedLibrary(const std::string& name) {
    std::wstring wide;
    if (name.empty() || name.find('\0') != std::string::npos || !toWide(name, wide)) {
        problem_ = "the name is not valid UTF-8";
        return;
    }
    handle_ = reinterpret_cast<void*>(LoadLibraryW(wide.c_str()));
    if (handle_ == nullptr) problem_ = "it cannot be loaded (error " + std::to_string(GetLastError()) + ")";
}

void* SharedLibrary::symbol(const char* name) const {
    if (handle_ == nullptr) return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

}  // namespace plexa
