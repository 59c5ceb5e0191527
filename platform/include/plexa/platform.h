// The kernel subset the bridges and the virtual sensors call: events, waits,
// threads and handles. On Windows these are the system's own; elsewhere they
// come from libplexa_kernel, one shared library, so that a handle created in
// one module (a bridge) can be signalled or waited on in another (a runtime).
#pragma once

#ifdef _WIN32
#include <windows.h>
#else

#include <cstddef>
#include <cstdint>

#if defined(PLEXA_KERNEL_BUILD)
#define PLEXA_KERNEL_API __attribute__((visibility("default")))
#else
#define PLEXA_KERNEL_API
#endif

#define WINAPI

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
using BYTE = std::uint8_t;
using USHORT = std::uint16_t;
using UINT16 = std::uint16_t;
using TIMESPAN = std::int64_t;

struct SECURITY_ATTRIBUTES;
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;
using LPTHREAD_START_ROUTINE = DWORD(WINAPI*)(LPVOID parameter);

constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;
constexpr DWORD INFINITE = 0xFFFFFFFFu;
constexpr DWORD WAIT_OBJECT_0 = 0x00000000u;
constexpr DWORD WAIT_ABANDONED_0 = 0x00000080u;
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

constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }

extern "C" {
PLEXA_KERNEL_API HANDLE WINAPI CreateEventA(LPSECURITY_ATTRIBUTES attributes, BOOL manualReset, BOOL initialState,
                                            LPCSTR name);
PLEXA_KERNEL_API BOOL WINAPI SetEvent(HANDLE event);
PLEXA_KERNEL_API BOOL WINAPI ResetEvent(HANDLE event);
PLEXA_KERNEL_API DWORD WINAPI WaitForSingleObject(HANDLE handle, DWORD milliseconds);
PLEXA_KERNEL_API DWORD WINAPI WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll,
                                                     DWORD milliseconds);
PLEXA_KERNEL_API HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES attributes, SIZE_T stackSize,
                                            LPTHREAD_START_ROUTINE startRoutine, LPVOID parameter,
                                            DWORD creationFlags, LPDWORD threadId);
PLEXA_KERNEL_API BOOL WINAPI CloseHandle(HANDLE handle);
PLEXA_KERNEL_API DWORD WINAPI GetCurrentThreadId();

// Diagnostics of this implementation (not part of the Windows subset): the
// number of handles created and not yet closed, for tests that prove a
// component gives back every handle it takes.
PLEXA_KERNEL_API std::size_t PlexaOpenHandleCount();
}

#endif
