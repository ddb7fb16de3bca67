#include "toolkit/Graphics.h"

#include "platform/win32/Win32Text.h"

#include <map>
#include <mutex>
#include <tuple>

namespace cv {

COLORREF ColorToRGB(TColor color) {
    if ((color & 0x80000000u) != 0) {
        return GetSysColor(static_cast<int>(color & 0xFF));
    }
    return color & 0x00FFFFFFu;
}

HFONT FontHandle(const TFont& font) {
    using TKey = std::tuple<std::string, int, bool, bool>;
    static std::map<TKey, HFONT> fonts;
    static std::mutex lock;
    const std::lock_guard<std::mutex> guard(lock);
    const TKey key{font.Name, font.Height, font.Bold, font.Italic};
    if (auto found = fonts.find(key); found != fonts.end()) {
        return found->second;
    }
    LOGFONTW lf = {};
    lf.lfHeight = -font.Height;
    lf.lfWeight = font.Bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = font.Italic ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    const std::wstring face = toWide(font.Name);
    wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    HFONT handle = CreateFontIndirectW(&lf);
    fonts.emplace(key, handle);
    return handle;
}

namespace {

int CALLBACK FoundFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

} // namespace

bool FontInstalled(const std::string& name) {
    LOGFONTW lf = {};
    lf.lfCharSet = DEFAULT_CHARSET;
    const std::wstring face = toWide(name);
    wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    bool found = false;
    HDC dc = GetDC(nullptr);
    EnumFontFamiliesExW(dc, &lf, &FoundFace, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, dc);
    return found;
}

SIZE MeasureText(HDC dc, const TFont& font, const std::string& text, int wrapWidth) {
    HGDIOBJ old = SelectObject(dc, FontHandle(font));
    RECT r = {0, 0, wrapWidth > 0 ? wrapWidth : 0, 0};
    const std::wstring wide = toWide(text);
    DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &r,
              DT_CALCRECT | DT_NOPREFIX | (wrapWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE));
    SelectObject(dc, old);
    return {r.right - r.left, r.bottom - r.top};
}

BITMAPINFO TopDownBitmapInfo(int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

TBitmap32::~TBitmap32() {
    Release();
}

void TBitmap32::Release() {
    if (FDC != nullptr) {
        SelectObject(FDC, FOldBitmap);
        DeleteDC(FDC);
    }
    if (FBitmap != nullptr) {
        DeleteObject(FBitmap);
    }
    FDC = nullptr;
    FBitmap = nullptr;
    FPixels = nullptr;
    FWidth = FHeight = 0;
}

void TBitmap32::SetSize(int width, int height) {
    if (width == FWidth && height == FHeight && FDC != nullptr) {
        return;
    }
    Release();
    if (width <= 0 || height <= 0) {
        return;
    }
    const BITMAPINFO info = TopDownBitmapInfo(width, height);
    void* bits = nullptr;
    FBitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (FBitmap == nullptr) {
        return;
    }
    FDC = CreateCompatibleDC(nullptr);
    FOldBitmap = SelectObject(FDC, FBitmap);
    FPixels = static_cast<std::uint32_t*>(bits);
    FWidth = width;
    FHeight = height;
}

} // namespace cv
