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
    using TKey = std::tuple<std::string, int, bool, bool, bool>;
    static std::map<TKey, HFONT> fonts;
    static std::mutex lock;
    const std::lock_guard<std::mutex> guard(lock);
    const TKey key{font.Name, font.Height, font.Bold, font.Italic, font.Underline};
    if (auto found = fonts.find(key); found != fonts.end()) {
        return found->second;
    }
    LOGFONTW lf = {};
    lf.lfHeight = -font.Height;
    lf.lfWeight = font.Bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = font.Italic ? TRUE : FALSE;
    lf.lfUnderline = font.Underline ? TRUE : FALSE;
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
    const TWindowDC screen;
    EnumFontFamiliesExW(screen.Get(), &lf, &FoundFace, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

SIZE MeasureText(HDC dc, const TFont& font, const std::string& text, int wrapWidth) {
    const TSelectedObject selected(dc, FontHandle(font));
    RECT r = {0, 0, wrapWidth > 0 ? wrapWidth : 0, 0};
    const std::wstring wide = toWide(text);
    DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &r,
              DT_CALCRECT | DT_NOPREFIX | (wrapWidth > 0 ? DT_WORDBREAK | DT_EDITCONTROL : DT_SINGLELINE));
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

// The bitmap stays selected into the DC for the surface's life; the
// members end in reverse order: deselected, then the DC, then the bitmap.
struct TBitmap32::TSurface {
    explicit TSurface(TGdiObject<HBITMAP> bitmap)
        : Bitmap(std::move(bitmap)), DC(CreateCompatibleDC(nullptr)), Selected(DC.Get(), Bitmap.Get()) {}
    TGdiObject<HBITMAP> Bitmap;
    TMemoryDC DC;
    TSelectedObject Selected;
};

TBitmap32::TBitmap32() = default;
TBitmap32::~TBitmap32() = default;

HDC TBitmap32::DC() const {
    return FSurface != nullptr ? FSurface->DC.Get() : nullptr;
}

void TBitmap32::SetSize(int width, int height) {
    if (width == FWidth && height == FHeight && FSurface != nullptr) {
        return;
    }
    FSurface.reset();
    FPixels = nullptr;
    FWidth = FHeight = 0;
    if (width <= 0 || height <= 0) {
        return;
    }
    const BITMAPINFO info = TopDownBitmapInfo(width, height);
    void* bits = nullptr;
    TGdiObject<HBITMAP> bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap) {
        return;
    }
    auto surface = std::make_unique<TSurface>(std::move(bitmap));
    if (!surface->DC) {
        return;
    }
    FSurface = std::move(surface);
    FPixels = static_cast<std::uint32_t*>(bits);
    FWidth = width;
    FHeight = height;
}

} // namespace cv
