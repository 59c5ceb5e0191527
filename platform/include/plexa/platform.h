// The kernel subset the bridges and the virtual sensors call: events, waits,
// threads and handles. On Windows these are the system's own; elsewhere they
// come from libplexa_kernel, one shared library, so that a handle created in
// one module (a bridge) can be signalled or waited on in another (a runtime).
#pragma once

#ifdef _WIN32
// Only the kernel and COM basics are wanted, and std::min/std::max must not
// be macros.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <unknwn.h>

// The 16-bit pointer qualifiers survive in <windows.h> as empty macros and
// would swallow ordinary names such as near and far.
#undef near
#undef far

#include <cstddef>

// The count of kernel handles the process holds, for tests that prove a
// component gives back every handle it takes. Elsewhere libplexa_kernel keeps
// this count itself; here the system does. Some Windows-compatible systems
// (wine) answer 0; then the handle table is walked instead: handle values are
// multiples of 4 handed out lowest free first, so a long run of unused values
// marks its end. Unlike libplexa_kernel's count, this one includes handles the
// C++ runtime opens for its own threads and locks.
inline std::size_t PlexaOpenHandleCount() {
    DWORD count = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &count) && count != 0) return count;
    std::size_t open = 0;
    unsigned unused = 0;
    for (ULONG_PTR value = 4; unused < 256; value += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) {
            ++open;
            unused = 0;
        } else {
            ++unused;
        }
    }
    return open;
}
#else

#include <algorithm>
#include <cstddef>
#include <cstdint>

#if defined(PLEXA_KERNEL_BUILD)
#define PLEXA_KERNEL_API __attribute__((visibility("default")))
#else
#define PLEXA_KERNEL_API
#endif

#define WINAPI
#define STDMETHODCALLTYPE

using BOOL = int;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using UINT = std::uint32_t;
using HRESULT = std::int32_t;
using SIZE_T = std::size_t;
using LPVOID = void*;
using LPCSTR = const char*;
using LPDWORD = DWORD*;
using HANDLE = void*;
using INT_PTR = std::intptr_t;
using UINT64 = std::uint64_t;
using INT64 = std::int64_t;
using LONGLONG = std::int64_t;
using BYTE = std::uint8_t;
using BOOLEAN = std::uint8_t;
using USHORT = std::uint16_t;
using WORD = std::uint16_t;
using UINT16 = std::uint16_t;
using UINT32 = std::uint32_t;
using INT = int;
using FLOAT = float;
using WCHAR = char16_t;  // UTF-16 code unit, as on Windows
using OLECHAR = WCHAR;
using BSTR = OLECHAR*;

// A 64-bit count in Windows' union form; only QuadPart is read here.
union LARGE_INTEGER {
    struct {
        DWORD LowPart;
        LONG HighPart;
    } u;
    LONGLONG QuadPart;
};

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

struct GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
};
using IID = GUID;
using REFIID = const IID&;

inline bool operator==(const GUID& a, const GUID& b) {
    return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3 && std::equal(a.Data4, a.Data4 + 8, b.Data4);
}
inline bool operator!=(const GUID& a, const GUID& b) { return !(a == b); }

inline constexpr IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

struct SECURITY_ATTRIBUTES;
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;
using LPTHREAD_START_ROUTINE = DWORD(WINAPI*)(LPVOID parameter);

constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;
constexpr DWORD INFINITE = 0xFFFFFFFFu;
constexpr DWORD WAIT_OBJECT_0 = 0x00000000u;
constexpr DWORD WAIT_TIMEOUT = 0x00000102u;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFFu;
constexpr DWORD MAXIMUM_WAIT_OBJECTS = 64;
#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1)))

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT E_PENDING = static_cast<HRESULT>(0x8000000Au);
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);

constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }

// The root of every runtime interface: three slots, in this order, and no
// destructor, so that an object's table matches the one a Windows compiler lays
// out for the same declaration.
struct IUnknown {
    virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) = 0;
    virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
    virtual ULONG STDMETHODCALLTYPE Release() = 0;
};

extern "C" {
PLEXA_KERNEL_API HANDLE WINAPI CreateEventA(LPSECURITY_ATTRIBUTES attributes, BOOL manualReset, BOOL initialState,
                                            LPCSTR name);
PLEXA_KERNEL_API BOOL WINAPI SetEvent(HANDLE event);
PLEXA_KERNEL_API BOOL WINAPI ResetEvent(HANDLE event);
PLEXA_KERNEL_API DWORD WINAPI WaitForSingleObject(HANDLE handle, DWORD milliseconds);
PLEXA_KERNEL_API DWORD WINAPI WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll,
                                                     DWORD milliseconds);
PLEXA_KERNEL_API HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES attributes, SIZE_T stackSize,
                                            LPTHREAD_START_ROUTINE startRoutine, LPVOID parameter, DWORD creationFlags,
                                            LPDWORD threadId);
PLEXA_KERNEL_API BOOL WINAPI CloseHandle(HANDLE handle);
PLEXA_KERNEL_API DWORD WINAPI GetCurrentThreadId();

// Diagnostics of this implementation (not part of the Windows subset): the
// number of handles created and not yet closed, for tests that prove a
// component gives back every handle it takes.
PLEXA_KERNEL_API std::size_t PlexaOpenHandleCount();
}

#endif
