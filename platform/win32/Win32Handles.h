// Owners for Win32 handles and for the calls that come in pairs. Each gives
// back what it holds exactly once, on every way out of a scope, exceptions
// included; a handle that moves on leaves an empty owner behind.
#pragma once

#include <windows.h>
// windows.h first
#include <objbase.h>

#include <utility>

namespace cv {

// Traits: THandle, the empty value, whether a value is a live handle, and
// how it is given back.
template <typename Traits> class TUniqueHandle {
public:
    using THandle = typename Traits::THandle;

    TUniqueHandle() = default;
    explicit TUniqueHandle(THandle handle) : FHandle(handle) {}
    ~TUniqueHandle() { Reset(); }
    TUniqueHandle(TUniqueHandle&& other) noexcept : FHandle(other.Release()) {}
    TUniqueHandle& operator=(TUniqueHandle&& other) noexcept {
        Reset(other.Release());
        return *this;
    }
    TUniqueHandle(const TUniqueHandle&) = delete;
    TUniqueHandle& operator=(const TUniqueHandle&) = delete;

    THandle Get() const { return FHandle; }
    explicit operator bool() const { return Traits::Valid(FHandle); }
    // Hands the handle over without closing it.
    [[nodiscard]] THandle Release() { return std::exchange(FHandle, Traits::Empty()); }
    // Closes the handle held unless it is the one taking its place.
    void Reset(THandle handle = Traits::Empty()) {
        const THandle old = std::exchange(FHandle, handle);
        if (old != handle && Traits::Valid(old)) {
            Traits::Close(old);
        }
    }

private:
    THandle FHandle = Traits::Empty();
};

template <typename H> struct TNullEmptyTraits {
    using THandle = H;
    static H Empty() { return nullptr; }
    static bool Valid(H handle) { return handle != nullptr; }
};

// Kernel objects: some calls fail with null, others (CreateFile) with
// INVALID_HANDLE_VALUE, and neither may be closed.
struct TKernelHandleTraits : TNullEmptyTraits<HANDLE> {
    static bool Valid(HANDLE handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE handle) { ::CloseHandle(handle); }
};

struct TFindHandleTraits : TKernelHandleTraits {
    static void Close(HANDLE handle) { ::FindClose(handle); }
};

struct TIconTraits : TNullEmptyTraits<HICON> {
    static void Close(HICON icon) { ::DestroyIcon(icon); }
};

template <typename H> struct TGdiObjectTraits : TNullEmptyTraits<H> {
    static void Close(H object) { ::DeleteObject(object); }
};

struct TMemoryDCTraits : TNullEmptyTraits<HDC> {
    static void Close(HDC dc) { ::DeleteDC(dc); }
};

using TKernelHandle = TUniqueHandle<TKernelHandleTraits>;
using TFindHandle = TUniqueHandle<TFindHandleTraits>;
using TIcon = TUniqueHandle<TIconTraits>;
// A pen, brush, bitmap or font the code created; never a stock object.
template <typename H> using TGdiObject = TUniqueHandle<TGdiObjectTraits<H>>;
// A DC from CreateCompatibleDC.
using TMemoryDC = TUniqueHandle<TMemoryDCTraits>;

// GetDC and ReleaseDC; the window null for the screen.
class TWindowDC {
public:
    explicit TWindowDC(HWND window = nullptr) : FWindow(window), FDC(::GetDC(window)) {}
    ~TWindowDC() {
        if (FDC != nullptr) {
            ::ReleaseDC(FWindow, FDC);
        }
    }
    TWindowDC(const TWindowDC&) = delete;
    TWindowDC& operator=(const TWindowDC&) = delete;
    HDC Get() const { return FDC; }

private:
    HWND FWindow;
    HDC FDC;
};

// Selects an object into a DC and puts back the one it displaced: an
// object still selected cannot be deleted, so the guard must end before the
// object's owner does (declare it after the owner).
class TSelectedObject {
public:
    TSelectedObject(HDC dc, HGDIOBJ object) : FDC(dc), FOld(::SelectObject(dc, object)) {}
    ~TSelectedObject() {
        if (FOld != nullptr && FOld != HGDI_ERROR) {
            ::SelectObject(FDC, FOld);
        }
    }
    TSelectedObject(const TSelectedObject&) = delete;
    TSelectedObject& operator=(const TSelectedObject&) = delete;
    // Another object in the same place; the first one's predecessor still
    // comes back at the end.
    void Select(HGDIOBJ object) const { ::SelectObject(FDC, object); }

private:
    HDC FDC;
    HGDIOBJ FOld;
};

// BeginPaint and EndPaint: a paint that throws still validates the window,
// which would otherwise be sent WM_PAINT for ever.
class TPaintScope {
public:
    explicit TPaintScope(HWND window) : FWindow(window), FDC(::BeginPaint(window, &FPaint)) {}
    ~TPaintScope() { ::EndPaint(FWindow, &FPaint); }
    TPaintScope(const TPaintScope&) = delete;
    TPaintScope& operator=(const TPaintScope&) = delete;
    HDC DC() const { return FDC; }

private:
    HWND FWindow;
    PAINTSTRUCT FPaint = {};
    HDC FDC;
};

// COM on the calling thread for as long as a shell call needs it. On a
// thread that has COM already a scope only adds to its count, or leaves it
// alone when it is multithreaded.
class TComScope {
public:
    TComScope() : FResult(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~TComScope() {
        if (SUCCEEDED(FResult)) {
            ::CoUninitialize();
        }
    }
    TComScope(const TComScope&) = delete;
    TComScope& operator=(const TComScope&) = delete;

private:
    HRESULT FResult;
};

} // namespace cv
