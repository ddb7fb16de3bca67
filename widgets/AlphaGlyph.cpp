#include "widgets/AlphaGlyph.h"

#include "platform/win32/Win32Text.h"
#include "toolkit/Graphics.h"

#include <algorithm>

namespace cv {

void TAlphaGlyph::Clear() {
    FWidth = FHeight = 0;
    FPixels.clear();
    FWork.clear();
}

void TAlphaGlyph::Assign(int width, int height, std::vector<TPixel> pixels) {
    if (width <= 0 || height <= 0 || pixels.size() != static_cast<std::size_t>(width) * height) {
        Clear();
        return;
    }
    FWidth = width;
    FHeight = height;
    FPixels = std::move(pixels);
    FWork.assign(FPixels.size(), 0);
}

void TAlphaGlyph::Assign(HBITMAP bitmap) {
    BITMAP info = {};
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof info, &info) == 0 || info.bmWidth <= 0 ||
        info.bmHeight == 0) {
        Clear();
        return;
    }
    const int width = info.bmWidth;
    const int height = std::abs(info.bmHeight);
    BITMAPINFO header = TopDownBitmapInfo(width, height);
    std::vector<TPixel> pixels(static_cast<std::size_t>(width) * height);
    const int rows = GetDIBits(TWindowDC().Get(), bitmap, 0, static_cast<UINT>(height), pixels.data(),
                               &header, DIB_RGB_COLORS);
    if (rows != height) {
        Clear();
        return;
    }
    if (info.bmBitsPixel != 32) {
        for (TPixel& p : pixels) {
            p |= 0xFF000000u;
        }
    }
    Assign(width, height, std::move(pixels));
}

bool TAlphaGlyph::LoadResource(const wchar_t* name) {
    const TGdiObject<HBITMAP> bitmap(static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!bitmap) {
        Clear();
        return false;
    }
    Assign(bitmap.Get());
    return !Empty();
}

void TAlphaGlyph::BlendInto(TBitmap32& buffer, int x, int y, const RECT& clip, bool disabled,
                            std::uint8_t opacity) {
    if (Empty() || buffer.Pixels() == nullptr) {
        return;
    }
    GdiFlush();
    const int left = std::max({x, 0, static_cast<int>(clip.left)});
    const int top = std::max({y, 0, static_cast<int>(clip.top)});
    const int right = std::min({x + FWidth, buffer.Width(), static_cast<int>(clip.right)});
    const int bottom = std::min({y + FHeight, buffer.Height(), static_cast<int>(clip.bottom)});
    // The part of the buffer under the glyph goes into the work bitmap, is
    // blended there, and goes back.
    for (int by = top; by < bottom; ++by) {
        for (int bx = left; bx < right; ++bx) {
            const std::size_t at = static_cast<std::size_t>(by - y) * FWidth + (bx - x);
            TPixel s = FPixels[at];
            if (disabled) {
                s = GreyPixel(s);
            }
            FWork[at] = buffer.At(bx, by);
            if (opacity == 255) {
                FWork[at] = BlendPixel(s, FWork[at]);
            } else {
                BlendPixelWithOpacity(s, FWork[at], opacity);
            }
            buffer.At(bx, by) = FWork[at];
        }
    }
}

} // namespace cv

namespace cv {

void DrawGlyphContent(const TGlyphContent& content, HDC dc, TBitmap32& buffer, int originX, int originY,
                      int width, int height) {
    const std::wstring caption = toWide(content.Caption);
    const TSelectedObject font(dc, FontHandle(*content.Font));
    // The caption's size, measured for the client's width.
    RECT measured = {0, 0, width, 0};
    if (!caption.empty()) {
        DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &measured, DT_CALCRECT);
    } else {
        measured = {0, 0, 0, 0};
    }
    const TPoint glyphSize = content.Glyph != nullptr && !content.Glyph->Empty()
                                 ? TPoint{content.Glyph->Width(), content.Glyph->Height()}
                                 : TPoint{0, 0};
    const TButtonPlacement place =
        PlaceButtonContent(TRect{0, 0, width, height}, glyphSize,
                           TPoint{measured.right - measured.left, measured.bottom - measured.top},
                           content.Layout, content.Margin, content.Spacing, content.Down);
    if (glyphSize.X > 0) {
        const RECT clip = {originX, originY, originX + width, originY + height};
        content.Glyph->BlendInto(buffer, originX + place.Glyph.X, originY + place.Glyph.Y, clip,
                                 content.Disabled, content.Opacity);
    }
    if (!caption.empty()) {
        SetBkMode(dc, TRANSPARENT);
        RECT r = {place.Caption.Left, place.Caption.Top, place.Caption.Right, place.Caption.Bottom};
        const UINT format = DT_CENTER | DT_VCENTER;
        if (content.Disabled) {
            RECT shifted = r;
            OffsetRect(&shifted, 1, 1);
            SetTextColor(dc, ColorToRGB(clBtnHighlight));
            DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &shifted, format);
            SetTextColor(dc, ColorToRGB(clBtnShadow));
        } else {
            SetTextColor(dc, ColorToRGB(content.Font->Color));
        }
        DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &r, format);
    }
}

} // namespace cv
