#pragma once

#include "platform/UniqueResource.h"

#include <windows.h>
#include <commctrl.h>
#include <wininet.h>

// One alias per way a Windows handle is given back.

struct KernelHandleTraits {
    using handle_type = HANDLE;
    static HANDLE empty() noexcept { return nullptr; }
    static void close(HANDLE h) noexcept { ::CloseHandle(h); }
};
using UniqueHandle = UniqueResource<KernelHandleTraits>;

// CreateFileW reports failure as INVALID_HANDLE_VALUE, not null.
struct FileHandleTraits {
    using handle_type = HANDLE;
    static HANDLE empty() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) noexcept { ::CloseHandle(h); }
};
using UniqueFileHandle = UniqueResource<FileHandleTraits>;

// A directory search of FindFirstFileW, ended by FindClose.
struct FindHandleTraits {
    using handle_type = HANDLE;
    static HANDLE empty() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) noexcept { ::FindClose(h); }
};
using UniqueFindHandle = UniqueResource<FindHandleTraits>;

template <typename GdiHandle> struct GdiObjectTraits {
    using handle_type = GdiHandle;
    static GdiHandle empty() noexcept { return nullptr; }
    static void close(GdiHandle h) noexcept { ::DeleteObject(h); }
};
using UniqueBitmap = UniqueResource<GdiObjectTraits<HBITMAP>>;
using UniquePen = UniqueResource<GdiObjectTraits<HPEN>>;
using UniqueBrush = UniqueResource<GdiObjectTraits<HBRUSH>>;
using UniqueFont = UniqueResource<GdiObjectTraits<HFONT>>;
using UniqueRegion = UniqueResource<GdiObjectTraits<HRGN>>;

struct MemoryDCTraits {
    using handle_type = HDC;
    static HDC empty() noexcept { return nullptr; }
    static void close(HDC h) noexcept { ::DeleteDC(h); }
};
using UniqueMemoryDC = UniqueResource<MemoryDCTraits>;

struct InternetHandleTraits {
    using handle_type = HINTERNET;
    static HINTERNET empty() noexcept { return nullptr; }
    static void close(HINTERNET h) noexcept { ::InternetCloseHandle(h); }
};
using UniqueInternetHandle = UniqueResource<InternetHandleTraits>;

// A Winsock SOCKET, an unsigned integer as wide as a pointer. winsock2.h has to come before
// windows.h, so it is not included here and closing lives in Handles.cpp.
struct SocketTraits {
    using handle_type = UINT_PTR;
    static UINT_PTR empty() noexcept { return ~static_cast<UINT_PTR>(0); } // INVALID_SOCKET
    static void close(UINT_PTR socket) noexcept;
};
using UniqueSocket = UniqueResource<SocketTraits>;

struct RegKeyTraits {
    using handle_type = HKEY;
    static HKEY empty() noexcept { return nullptr; }
    static void close(HKEY h) noexcept { ::RegCloseKey(h); }
};
using UniqueRegKey = UniqueResource<RegKeyTraits>;

struct MenuTraits {
    using handle_type = HMENU;
    static HMENU empty() noexcept { return nullptr; }
    static void close(HMENU h) noexcept { ::DestroyMenu(h); }
};
using UniqueMenu = UniqueResource<MenuTraits>;

struct IconTraits {
    using handle_type = HICON;
    static HICON empty() noexcept { return nullptr; }
    static void close(HICON h) noexcept { ::DestroyIcon(h); }
};
using UniqueIcon = UniqueResource<IconTraits>;

struct HookTraits {
    using handle_type = HHOOK;
    static HHOOK empty() noexcept { return nullptr; }
    static void close(HHOOK h) noexcept { ::UnhookWindowsHookEx(h); }
};
using UniqueHook = UniqueResource<HookTraits>;

struct ImageListTraits {
    using handle_type = HIMAGELIST;
    static HIMAGELIST empty() noexcept { return nullptr; }
    static void close(HIMAGELIST h) noexcept { ::ImageList_Destroy(h); }
};
using UniqueImageList = UniqueResource<ImageListTraits>;

// A window's DC is released against the window it came from, so it keeps that window.
class WindowDC {
public:
    WindowDC() noexcept = default;
    // GetWindowDC of the window; a null window means the whole screen.
    static WindowDC ofWindow(HWND window) noexcept {
        return WindowDC(window, ::GetWindowDC(window));
    }
    // GetDC (client area) of the window.
    static WindowDC ofClient(HWND window) noexcept { return WindowDC(window, ::GetDC(window)); }

    WindowDC(WindowDC&& other) noexcept
        : window_(std::exchange(other.window_, nullptr)), dc_(std::exchange(other.dc_, nullptr)) {}
    WindowDC& operator=(WindowDC&& other) noexcept {
        if (this != &other) {
            reset();
            window_ = std::exchange(other.window_, nullptr);
            dc_ = std::exchange(other.dc_, nullptr);
        }
        return *this;
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    ~WindowDC() { reset(); }

    HDC get() const noexcept { return dc_; }
    HWND window() const noexcept { return window_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }
    void reset() noexcept {
        if (dc_)
            ::ReleaseDC(window_, dc_);
        dc_ = nullptr;
        window_ = nullptr;
    }

private:
    WindowDC(HWND window, HDC dc) noexcept : window_(window), dc_(dc) {}
    HWND window_ = nullptr;
    HDC dc_ = nullptr;
};

// BeginPaint/EndPaint pair for one WM_PAINT.
class PaintDC {
public:
    explicit PaintDC(HWND window) noexcept : window_(window) {
        dc_ = ::BeginPaint(window, &paint_);
    }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    ~PaintDC() { ::EndPaint(window_, &paint_); }

    HDC get() const noexcept { return dc_; }
    const PAINTSTRUCT& paintStruct() const noexcept { return paint_; }

private:
    HWND window_;
    HDC dc_;
    PAINTSTRUCT paint_{};
};

// Selects an object into a DC and puts the previous one back into that same DC.
class ScopedSelectObject {
public:
    ScopedSelectObject(HDC dc, HGDIOBJ object) noexcept
        : dc_(dc), previous_(::SelectObject(dc, object)) {}
    ScopedSelectObject(const ScopedSelectObject&) = delete;
    ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;
    ~ScopedSelectObject() { restore(); }

    // False when the selection itself failed.
    bool selected() const noexcept { return previous_ != nullptr && previous_ != HGDI_ERROR; }
    void restore() noexcept {
        if (selected())
            ::SelectObject(dc_, previous_);
        previous_ = nullptr;
    }

private:
    HDC dc_;
    HGDIOBJ previous_;
};
