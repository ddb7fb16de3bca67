#include "widgets/WidgetMath.h"

#include <algorithm>
#include <cstdlib>

namespace cv {

namespace {

std::uint32_t Byte(TPixel p, int k) {
    return (p >> (8 * k)) & 0xFF;
}

// Each byte of s and d mixed by a, with no carry from one byte to the next.
TPixel Mix(TPixel s, TPixel d, std::uint32_t a, int bytes) {
    TPixel out = 0;
    for (int k = 0; k < bytes; ++k) {
        const std::uint32_t v = ((a * Byte(s, k) + 128) / 256) + (((255 - a) * Byte(d, k) + 128) / 256);
        out |= (v & 0xFF) << (8 * k);
    }
    return out;
}

} // namespace

TPixel BlendPixel(TPixel s, TPixel d) {
    const std::uint32_t a = Byte(s, 3);
    if (a == 0) {
        return d;
    }
    if (a == 255) {
        return s;
    }
    return Mix(s, d, a, 4);
}

TPixel GreyPixel(TPixel p) {
    const std::uint32_t grey = (30 * Byte(p, 2) + 59 * Byte(p, 1) + 11 * Byte(p, 0)) / 100;
    return (p & 0xFF000000u) | (grey << 16) | (grey << 8) | grey;
}

bool BlendPixelWithOpacity(TPixel s, TPixel& d, std::uint8_t opacity) {
    if (opacity == 255) {
        d = BlendPixel(s, d);
        return true;
    }
    const std::uint32_t product = Byte(s, 3) * opacity;
    if (product < 256) {
        return false;
    }
    d = Mix(s, d, product / 256, 3); // the top byte stays 0
    return true;
}

TButtonPlacement PlaceButtonContent(const TRect& client, TPoint glyphSize, TPoint textSize,
                                    TButtonLayout layout, int margin, int spacing, bool down) {
    const TPoint size{client.Width(), client.Height()};
    const bool across = layout == TButtonLayout::blGlyphLeft || layout == TButtonLayout::blGlyphRight;
    TPoint glyph;
    TPoint text;
    if (across) {
        glyph.Y = (size.Y - glyphSize.Y + 1) / 2;
        text.Y = (size.Y - textSize.Y + 1) / 2;
    } else {
        glyph.X = (size.X - glyphSize.X + 1) / 2;
        text.X = (size.X - textSize.X + 1) / 2;
    }
    if (textSize.X == 0 || glyphSize.X == 0) {
        spacing = 0; // nothing to keep apart
    }
    // Along the layout's axis.
    const int c = across ? size.X : size.Y;
    const int g = across ? glyphSize.X : glyphSize.Y;
    const int t = across ? textSize.X : textSize.Y;
    if (margin == -1) {
        if (spacing == -1) {
            margin = (c - g - t) / 3;
            spacing = margin;
        } else {
            margin = (c - (g + spacing + t) + 1) / 2;
        }
    } else if (spacing == -1) {
        spacing = (c - (margin + g) - t) / 2;
    }
    int glyphAt = 0;
    int textAt = 0;
    switch (layout) {
    case TButtonLayout::blGlyphLeft:
    case TButtonLayout::blGlyphTop:
        glyphAt = margin;
        textAt = glyphAt + g + spacing;
        break;
    case TButtonLayout::blGlyphRight:
    case TButtonLayout::blGlyphBottom:
        glyphAt = c - margin - g;
        textAt = glyphAt - spacing - t;
        break;
    }
    (across ? glyph.X : glyph.Y) = glyphAt;
    (across ? text.X : text.Y) = textAt;
    const int offset = down ? 1 : 0;
    TButtonPlacement placement;
    placement.Glyph = {glyph.X + client.Left + offset, glyph.Y + client.Top + offset};
    // The caption moves by the horizontal press offset on both axes.
    placement.Caption = {text.X + client.Left + offset, text.Y + client.Top + offset,
                         text.X + client.Left + offset + textSize.X,
                         text.Y + client.Top + offset + textSize.Y};
    return placement;
}

THeaderAreas PlaceHeader(int width, int height, int captionLineHeight, int commentHeight,
                         bool gradientActive) {
    THeaderAreas areas;
    TRect r{20, 8, width - 60, height - 5};
    areas.Caption = r;
    r.Top += captionLineHeight;
    r.Left += 20;
    const int shift = std::max(0, (r.Bottom - (r.Top + commentHeight)) / 2);
    areas.Comment = {r.Left, r.Top + shift, r.Right, r.Top + shift + commentHeight};
    areas.Symbol = {r.Right - 50, r.Top + 5, r.Right - 5, r.Bottom - 5 - (gradientActive ? 3 : 0)};
    areas.Gradient = {r.Left, r.Bottom - 5, r.Right, r.Bottom - 1};
    return areas;
}

int HeaderHeightFor(int captionLineHeight, int commentHeight) {
    // 8 above the caption, 5 below the room; the comment is centred in the
    // room, so the 5 of the gradient and 2 free pixels are left on each side.
    return 8 + captionLineHeight + commentHeight + 2 * 7 + 5;
}

std::string HeaderLine(const std::vector<std::string>& lines, int pageNo, const std::string& fallback) {
    if (lines.empty()) {
        return fallback;
    }
    const int last = static_cast<int>(lines.size()) - 1;
    return lines[static_cast<std::size_t>(std::clamp(pageNo, 0, last))];
}

int ClampGradientSteps(int steps) {
    if (steps >= 256) {
        return 255;
    }
    return steps <= 0 ? 1 : steps;
}

int MulDiv(int a, int b, int c) {
    if (c == 0) {
        return -1;
    }
    const long long product = static_cast<long long>(a) * b;
    long long quotient = product / c;
    const long long remainder = std::llabs(product % c);
    if (remainder * 2 >= std::llabs(static_cast<long long>(c))) {
        quotient += ((product < 0) != (c < 0)) ? -1 : 1;
    }
    return static_cast<int>(quotient);
}

namespace {

TRgb BandColor(TRgb from, TRgb to, int i, int n) {
    auto channel = [&](std::uint8_t f, std::uint8_t t) {
        return static_cast<std::uint8_t>(f + MulDiv(i, t - f, n - 1));
    };
    return {channel(from.R, to.R), channel(from.G, to.G), channel(from.B, to.B)};
}

// Bands across one axis of the area; columns when across, else rows.
void Linear(const TRect& area, TRgb from, TRgb to, int steps, int percentFilling, bool columns,
            std::vector<TGradientBand>& out) {
    const int length = columns ? area.Width() : area.Height();
    const int n = std::min(steps, length);
    for (int i = 0; i < n; ++i) {
        const int a = MulDiv(i, length, n);
        const int b = MulDiv(i + 1, length, n);
        TRect band = area;
        if (columns) {
            band.Left = area.Left + a, band.Right = area.Left + b;
        } else {
            band.Top = area.Top + a, band.Bottom = area.Top + b;
        }
        out.push_back({band, BandColor(from, to, i, n)});
        if (percentFilling < i * 100 / n) {
            break;
        }
    }
}

} // namespace

std::vector<TGradientBand> GradientBands(const TRect& area, TRgb from, TRgb to, int steps, int percentFilling,
                                         TGradientDir direction) {
    std::vector<TGradientBand> bands;
    steps = ClampGradientSteps(steps);
    if (steps == 1 || area.Width() <= 0 || area.Height() <= 0) {
        return bands;
    }
    switch (direction) {
    case TGradientDir::fgdHorizontal:
        Linear(area, from, to, steps, percentFilling, false, bands);
        break;
    case TGradientDir::fgdVertical:
        Linear(area, from, to, steps, percentFilling, true, bands);
        break;
    case TGradientDir::fgdHorzConvergent: {
        const int middle = area.Top + area.Height() / 2;
        Linear({area.Left, area.Top, area.Right, middle}, from, to, steps, percentFilling, false, bands);
        Linear({area.Left, middle, area.Right, area.Bottom}, to, from, steps, percentFilling, false, bands);
        break;
    }
    case TGradientDir::fgdVertConvergent: {
        const int middle = area.Left + area.Width() / 2;
        Linear({area.Left, area.Top, middle, area.Bottom}, from, to, steps, percentFilling, true, bands);
        Linear({middle, area.Top, area.Right, area.Bottom}, to, from, steps, percentFilling, true, bands);
        break;
    }
    case TGradientDir::fgdRectangle: {
        const int half = std::min(area.Width(), area.Height()) / 2;
        const int n = std::min(steps, half);
        for (int i = 0; i < n; ++i) {
            const int inset = MulDiv(i, half, n);
            bands.push_back({{area.Left + inset, area.Top + inset, area.Right - inset, area.Bottom - inset},
                             BandColor(from, to, i, n)});
            if (percentFilling < i * 100 / n) {
                break;
            }
        }
        break;
    }
    case TGradientDir::fgdLeftBias:
    case TGradientDir::fgdRightBias: {
        // Diagonal lines one band apart, sweeping from one corner to the other.
        const int length = area.Width() + area.Height();
        const int n = std::min(steps, length);
        for (int i = 0; i < n; ++i) {
            const int at = MulDiv(i, length, n);
            TRect line;
            if (direction == TGradientDir::fgdLeftBias) {
                line = {area.Left + at, area.Top, area.Left + at - area.Height(), area.Bottom};
            } else {
                line = {area.Right - at, area.Top, area.Right - at + area.Height(), area.Bottom};
            }
            bands.push_back({line, BandColor(from, to, i, n)});
            if (percentFilling < i * 100 / n) {
                break;
            }
        }
        break;
    }
    }
    return bands;
}

} // namespace cv
