// Colours, fonts and off-screen 32-bit bitmaps for the toolkit's painting.
// A colour is either plain RGB or one of the system's colours, kept
// symbolic until it is drawn, so that it follows the user's scheme.
#pragma once

#include "platform/win32/Win32Handles.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

namespace cv {

using TColor = std::uint32_t;

// A system colour: the top byte marks it, the low byte is the COLOR_ index.
constexpr TColor SystemColor(int index) {
    return 0x80000000u | static_cast<TColor>(index);
}
constexpr TColor RgbColor(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return static_cast<TColor>(r) | (static_cast<TColor>(g) << 8) | (static_cast<TColor>(b) << 16);
}

inline constexpr TColor clNone = 0x1FFFFFFFu;
inline constexpr TColor clBlack = RgbColor(0, 0, 0);
inline constexpr TColor clWhite = RgbColor(255, 255, 255);
inline constexpr TColor clNavy = RgbColor(0, 0, 128);
inline constexpr TColor clBlue = RgbColor(0, 0, 255);
inline constexpr TColor clRed = RgbColor(255, 0, 0);
inline constexpr TColor clMaroon = RgbColor(128, 0, 0);
inline constexpr TColor clGray = RgbColor(128, 128, 128);
inline constexpr TColor clBtnFace = SystemColor(COLOR_BTNFACE);
inline constexpr TColor clBtnHighlight = SystemColor(COLOR_BTNHIGHLIGHT);
inline constexpr TColor clBtnShadow = SystemColor(COLOR_BTNSHADOW);
inline constexpr TColor clWindow = SystemColor(COLOR_WINDOW);
inline constexpr TColor clWindowText = SystemColor(COLOR_WINDOWTEXT);
inline constexpr TColor clHighlight = SystemColor(COLOR_HIGHLIGHT);
inline constexpr TColor clHighlightText = SystemColor(COLOR_HIGHLIGHTTEXT);
inline constexpr TColor clGrayText = SystemColor(COLOR_GRAYTEXT);
inline constexpr TColor clInfoBk = SystemColor(COLOR_INFOBK);

// The RGB a colour stands for now.
COLORREF ColorToRGB(TColor color);

struct TFont {
    std::string Name = "MS Sans Serif";
    int Height = 11; // pixels of the character cell without internal leading
    bool Bold = false;
    bool Italic = false;
    TColor Color = clWindowText;
    bool Underline = false;
    bool operator==(const TFont&) const = default;
};

// A GDI font for the description; fonts are made once and kept for the
// program's life, since a handful of them serve every window.
HFONT FontHandle(const TFont& font);
// Whether a face of that name is installed.
bool FontInstalled(const std::string& name);

// The width and height of a text drawn on one line, or word-wrapped to a
// width when wrapWidth is above 0.
SIZE MeasureText(HDC dc, const TFont& font, const std::string& text, int wrapWidth = 0);

// The description of a top-down 32-bit bitmap of that size, as DIB sections
// and GetDIBits take it.
BITMAPINFO TopDownBitmapInfo(int width, int height);

// A 32-bit top-down DIB section with a memory DC: the buffers that the
// image buttons and the windows' double-buffered painting draw into.
class TBitmap32 {
public:
    TBitmap32();
    ~TBitmap32();
    TBitmap32(const TBitmap32&) = delete;
    TBitmap32& operator=(const TBitmap32&) = delete;

    // Makes the bitmap that size (keeping it when the size is the same).
    void SetSize(int width, int height);
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    HDC DC() const;
    // Row-major 0xAARRGGBB pixels; GDI work must be flushed before reading.
    std::uint32_t* Pixels() const { return FPixels; }
    std::uint32_t& At(int x, int y) { return FPixels[static_cast<std::size_t>(y) * FWidth + x]; }

private:
    struct TSurface;
    std::unique_ptr<TSurface> FSurface;
    int FWidth = 0;
    int FHeight = 0;
    std::uint32_t* FPixels = nullptr;
};

} // namespace cv
