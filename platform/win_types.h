// Basic types and constants of the handheld platform that the program's own code
// is written against. Only what the program uses; values are the platform's.
#pragma once

#include <cstdint>

using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using LONG = std::int32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using COLORREF = std::uint32_t;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

// A window handle: an opaque number issued by the platform layer's window table.
// It stays safe to pass around after the window is gone (posting to it then does nothing).
struct tvx_window_handle_;
using HWND = tvx_window_handle_*;

constexpr DWORD INFINITE_WAIT = 0xFFFFFFFFu;

// Kernel objects (threads, events) and loaded modules: opaque handles issued by the
// platform layer (platform/threads.h, platform/modules.h).
struct tvx_kernel_object_;
using HANDLE = tvx_kernel_object_*;
struct tvx_module_;
using HMODULE = tvx_module_*;
using HINSTANCE = HMODULE;
using UINT_PTR = std::uintptr_t;
using INT_PTR = std::intptr_t;

// WaitForSingleObject results.
constexpr DWORD WAIT_OBJECT_0 = 0x0;
constexpr DWORD WAIT_TIMEOUT = 0x102;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFFu;

inline WORD LOWORD(std::uintptr_t v) { return static_cast<WORD>(v & 0xFFFF); }
inline WORD HIWORD(std::uintptr_t v) { return static_cast<WORD>((v >> 16) & 0xFFFF); }

// Win32 error codes the program compares with.
constexpr DWORD ERROR_SUCCESS_CODE = 0;
constexpr DWORD ERROR_FILE_NOT_FOUND_CODE = 2;
constexpr DWORD ERROR_ACCESS_DENIED_CODE = 5;
constexpr DWORD ERROR_INVALID_HANDLE_CODE = 6;
constexpr DWORD ERROR_ALREADY_INITIALIZED_CODE = 1247;
constexpr DWORD E_INVALIDARG_CODE = 0x80070057u;

// Message box styles and answers.
constexpr UINT MB_OK = 0x0;
constexpr UINT MB_OKCANCEL = 0x1;
constexpr UINT MB_YESNOCANCEL = 0x3;
constexpr UINT MB_YESNO = 0x4;
constexpr UINT MB_ICONHAND = 0x10;
constexpr UINT MB_ICONSTOP = MB_ICONHAND;
constexpr UINT MB_ICONERROR = MB_ICONHAND;
constexpr UINT MB_ICONQUESTION = 0x20;
constexpr UINT MB_ICONEXCLAMATION = 0x30;
constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
constexpr UINT MB_ICONASTERISK = 0x40;
constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;
constexpr UINT MB_TYPEMASK = 0xF;
constexpr UINT MB_ICONMASK = 0xF0;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;
