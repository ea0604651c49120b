// One owner per handle kind. Owners are move-only; borrowed handles stay raw and stock
// objects are never owned.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <type_traits>
#include <utility>

namespace win {

struct GdiDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct DcDeleter {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
struct ImageListDeleter {
    void operator()(HIMAGELIST list) const { ImageList_Destroy(list); }
};
struct RegKeyDeleter {
    void operator()(HKEY key) const { RegCloseKey(key); }
};
struct HandleDeleter {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
struct FindDeleter {
    void operator()(HANDLE handle) const { FindClose(handle); }
};

template <typename H, typename Deleter>
using Owner = std::unique_ptr<std::remove_pointer_t<H>, Deleter>;

using Bitmap = Owner<HBITMAP, GdiDeleter>;
using Region = Owner<HRGN, GdiDeleter>;
using Brush = Owner<HBRUSH, GdiDeleter>;
using Font = Owner<HFONT, GdiDeleter>;
using MemoryDc = Owner<HDC, DcDeleter>;
using ImageListHandle = Owner<HIMAGELIST, ImageListDeleter>;
using RegKey = Owner<HKEY, RegKeyDeleter>;
// A file or a mutex. CreateFile and FindFirstFile report failure as
// INVALID_HANDLE_VALUE: only wrap a handle that was checked against it.
using Handle = Owner<HANDLE, HandleDeleter>;
using FindHandle = Owner<HANDLE, FindDeleter>;

// A DC borrowed from a window with GetDC, given back on every path.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() { ReleaseDC(window_, dc_); }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a DC and puts the previous one back when it goes.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectGuard() { SelectObject(dc_, previous_); }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace win
