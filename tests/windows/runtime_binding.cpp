// Which sensor runtime a bridge binds to when a JVM on Windows loads it: the
// JVM loads every library with LoadLibraryW by full path and no flags, so a
// bridge's import of Kinect10.dll / Kinect20.dll is resolved by name. With the
// jar's virtual runtime loaded first (by full path) the import must bind to
// that loaded module; with nothing loaded first, to the runtime installed in
// the system folder. Stand-ins of the installed runtimes (copies of our
// virtual ones) sit in the wine prefix's system32 while the program runs.
//
// Each case runs in a child process of its own (a loaded module stays), and
// the import's target is read from the bridge's own import address table.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

std::wstring lower(std::wstring text) {
    for (auto& c : text) c = static_cast<wchar_t>(towlower(c));
    return text;
}

std::wstring moduleFile(HMODULE module) {
    std::vector<wchar_t> path(32768);
    DWORD length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    return std::wstring(path.data(), length);
}

std::wstring folderOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L"\\/")); }

// The file of the module that the first import from `dll` in `module` resolved into.
std::wstring importBoundTo(HMODULE module, const char* dll) {
    const auto* base = reinterpret_cast<const unsigned char*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(base + dos->e_lfanew);
    const auto& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (const auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         entry->Name != 0; ++entry) {
        if (_stricmp(reinterpret_cast<const char*>(base + entry->Name), dll) != 0) continue;
        const auto* slot = reinterpret_cast<const IMAGE_THUNK_DATA64*>(base + entry->FirstThunk);
        HMODULE owner = nullptr;
        if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(slot->u1.Function)), &owner)) {
            return L"(no module holds the bound address)";
        }
        return moduleFile(owner);
    }
    return L"(no import from this DLL)";
}

HMODULE loadByFullPath(const std::wstring& path) {
    HMODULE module = LoadLibraryW(path.c_str());
    if (module == nullptr) std::fwprintf(stderr, L"LoadLibraryW(%ls) failed, error %lu\n", path.c_str(), GetLastError());
    return module;
}

struct Bridge {
    const wchar_t* file;
    const char* runtime;
    const wchar_t* runtimeFile;
};
const Bridge kBridges[] = {{L"qbl_plexa_64bit.dll", "Kinect10.dll", L"Kinect10.dll"},
                           {L"qbl_plexa2_64bit.dll", "Kinect20.dll", L"Kinect20.dll"}};

// Child: load as the JVM would, then check where each bridge's import went.
int child(const std::wstring& mode, const std::wstring& folder) {
    int failures = 0;
    for (const auto& bridge : kBridges) {
        std::wstring expected;
        if (mode == L"virtual") {
            expected = folder + L"\\" + bridge.runtimeFile;
            if (loadByFullPath(expected) == nullptr) return 2;
        } else {
            wchar_t system[MAX_PATH];
            GetSystemDirectoryW(system, MAX_PATH);
            expected = std::wstring(system) + L"\\" + bridge.runtimeFile;
        }
        HMODULE loaded = loadByFullPath(folder + L"\\" + bridge.file);
        if (loaded == nullptr) return 2;
        std::wstring bound = importBoundTo(loaded, bridge.runtime);
        bool right = lower(bound) == lower(expected);
        std::wprintf(L"%ls (%ls): %hs bound to %ls%ls\n", bridge.file, mode.c_str(), bridge.runtime, bound.c_str(),
                     right ? L"" : (L", expected " + expected).c_str());
        failures += right ? 0 : 1;
    }
    return failures == 0 ? 0 : 1;
}

bool copy(const std::wstring& from, const std::wstring& to) {
    if (CopyFileW(from.c_str(), to.c_str(), TRUE)) return true;
    std::fwprintf(stderr, L"cannot copy %ls to %ls, error %lu\n", from.c_str(), to.c_str(), GetLastError());
    return false;
}

int runChild(const std::wstring& self, const std::wstring& mode, const std::wstring& folder) {
    std::wstring command = L"\"" + self + L"\" " + mode + L" \"" + folder + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        std::fwprintf(stderr, L"cannot start %ls, error %lu\n", command.c_str(), GetLastError());
        return 2;
    }
    WaitForSingleObject(process.hProcess, 120000);
    DWORD code = 2;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

// Files this run placed, removed again however the run ends.
struct Placed {
    std::vector<std::wstring> files;
    std::vector<std::wstring> folders;
    ~Placed() {
        for (const auto& file : files) DeleteFileW(file.c_str());
        for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder) RemoveDirectoryW(folder->c_str());
    }
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 3) return child(argv[1], argv[2]);

    // This program lives in bin/binding/, away from the DLLs in bin/: Windows
    // looks in a program's own folder before the system folder.
    std::wstring self = moduleFile(nullptr);
    std::wstring bin = folderOf(folderOf(self));
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring work = std::wstring(temp) + L"plexa-binding-" + std::to_wstring(GetCurrentProcessId());
    std::wstring jarCopy = work + L"\\jar";        // what the loader extracts when no runtime is installed
    std::wstring bridgesOnly = work + L"\\vendor";  // what it extracts when the installed runtime serves
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);

    Placed placed;
    for (const auto& folder : {work, jarCopy, bridgesOnly}) {
        if (!CreateDirectoryW(folder.c_str(), nullptr)) return 2;
        placed.folders.push_back(folder);
    }
    for (const auto& bridge : kBridges) {
        for (const auto& folder : {jarCopy, bridgesOnly}) {
            if (!copy(bin + L"\\" + bridge.file, folder + L"\\" + bridge.file)) return 2;
            placed.files.push_back(folder + L"\\" + bridge.file);
        }
        if (!copy(bin + L"\\" + bridge.runtimeFile, jarCopy + L"\\" + bridge.runtimeFile)) return 2;
        placed.files.push_back(jarCopy + L"\\" + bridge.runtimeFile);
        std::wstring installed = std::wstring(system) + L"\\" + bridge.runtimeFile;
        if (!copy(bin + L"\\" + bridge.runtimeFile, installed)) return 2;
        placed.files.push_back(installed);
    }

    int virtualResult = runChild(self, L"virtual", jarCopy);
    int vendorResult = runChild(self, L"vendor", bridgesOnly);
    int passed = (virtualResult == 0) + (vendorResult == 0);
    std::printf("%d passed, %d failed\n", passed, 2 - passed);
    return passed == 2 ? 0 : 1;
}
