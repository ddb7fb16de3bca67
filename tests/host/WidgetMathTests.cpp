// The controls' arithmetic against values worked out by hand.
#include "widgets/WidgetMath.h"

#include <gtest/gtest.h>

namespace cv::test {

namespace {

TEST(WidgetMath, BlendMixesEachByteOnItsOwn) {
    struct TCase {
        TPixel S;
        TPixel D;
        TPixel Expected;
    };
    const TCase cases[] = {
        {0x00FFFFFF, 0x12345678, 0x12345678}, // alpha 0 keeps the background
        {0xFF102030, 0x12345678, 0xFF102030}, // alpha 255 takes the glyph
        {0x80FF0000, 0x000000FF, 0x4080007F}, // half of each
        {0xFEFFFFFF, 0xFFFFFFFF, 0xFDFEFEFE}, // no byte carries into the next
        {0x01000000, 0x00FF00FF, 0x00FD00FD},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(BlendPixel(c.S, c.D), c.Expected) << std::hex << c.S << " over " << c.D;
    }
    EXPECT_EQ(GreyPixel(0x80FF8040), 0x809F9F9Fu);
    EXPECT_EQ(GreyPixel(0x00FFFFFF), 0x00FFFFFFu);
    EXPECT_EQ(GreyPixel(0xFF000000), 0xFF000000u);
}

TEST(WidgetMath, OpacityBlendSkipsFaintPixelsAndClearsTheTopByte) {
    TPixel d = 0x11223344;
    EXPECT_TRUE(BlendPixelWithOpacity(0xFF0000FF, d, 128));
    EXPECT_EQ(d, 0x00111AA1u);
    d = 0x11223344;
    EXPECT_FALSE(BlendPixelWithOpacity(0x01FFFFFF, d, 200)); // 1 x 200 is below 256
    EXPECT_EQ(d, 0x11223344u);
    EXPECT_TRUE(BlendPixelWithOpacity(0x02FFFFFF, d, 128)); // exactly 256: effective alpha 1
    EXPECT_EQ(d >> 24, 0u);
    d = 0x11223344;
    EXPECT_TRUE(BlendPixelWithOpacity(0x80FF0000, d, 255)); // full opacity is the plain blend
    EXPECT_EQ(d, BlendPixel(0x80FF0000, 0x11223344));
}

TEST(WidgetMath, ButtonContentFollowsMarginSpacingAndLayout) {
    using L = TButtonLayout;
    struct TCase {
        const char* What;
        TRect Client;
        TPoint Glyph;
        TPoint Text;
        L Layout;
        int Margin;
        int Spacing;
        bool Down;
        TPoint ExpectGlyph;
        TRect ExpectCaption;
    };
    const TCase cases[] = {
        {"toolbar",
         {0, 0, 75, 70},
         {48, 48},
         {40, 13},
         L::blGlyphTop,
         -1,
         0,
         false,
         {14, 5},
         {18, 53, 58, 66}},
        {"toolbar down",
         {0, 0, 75, 70},
         {48, 48},
         {40, 13},
         L::blGlyphTop,
         -1,
         0,
         true,
         {15, 6},
         {19, 54, 59, 67}},
        {"spread",
         {0, 0, 100, 30},
         {24, 24},
         {40, 13},
         L::blGlyphLeft,
         -1,
         -1,
         false,
         {12, 3},
         {48, 9, 88, 22}},
        {"margin, spread",
         {0, 0, 100, 30},
         {24, 24},
         {40, 13},
         L::blGlyphRight,
         4,
         -1,
         false,
         {72, 3},
         {16, 9, 56, 22}},
        {"dialog",
         {0, 0, 100, 30},
         {24, 24},
         {40, 13},
         L::blGlyphLeft,
         -1,
         4,
         false,
         {16, 3},
         {44, 9, 84, 22}},
        {"below",
         {0, 0, 60, 80},
         {24, 24},
         {30, 13},
         L::blGlyphBottom,
         2,
         5,
         false,
         {18, 54},
         {15, 36, 45, 49}},
        {"no caption",
         {0, 0, 100, 30},
         {24, 24},
         {0, 0},
         L::blGlyphLeft,
         -1,
         4,
         false,
         {38, 3},
         {62, 15, 62, 15}},
        {"no glyph",
         {0, 0, 100, 30},
         {0, 0},
         {40, 13},
         L::blGlyphLeft,
         -1,
         4,
         false,
         {30, 15},
         {30, 9, 70, 22}},
        {"offset client",
         {2, 2, 102, 32},
         {24, 24},
         {0, 0},
         L::blGlyphLeft,
         -1,
         4,
         false,
         {40, 5},
         {64, 17, 64, 17}},
        {"too small",
         {0, 0, 20, 20},
         {24, 24},
         {0, 0},
         L::blGlyphLeft,
         -1,
         4,
         false,
         {-1, -1},
         {23, 10, 23, 10}},
    };
    for (const TCase& c : cases) {
        const TButtonPlacement p =
            PlaceButtonContent(c.Client, c.Glyph, c.Text, c.Layout, c.Margin, c.Spacing, c.Down);
        EXPECT_EQ(p.Glyph, c.ExpectGlyph) << c.What;
        EXPECT_EQ(p.Caption, c.ExpectCaption) << c.What;
    }
}

TEST(WidgetMath, HeaderAreasAndLines) {
    const THeaderAreas a = PlaceHeader(400, 60, 16, 13, true);
    EXPECT_EQ(a.Caption, (TRect{20, 8, 340, 55}));
    EXPECT_EQ(a.Comment, (TRect{40, 33, 340, 46}));
    EXPECT_EQ(a.Symbol, (TRect{290, 29, 335, 47}));
    EXPECT_EQ(a.Gradient, (TRect{40, 50, 340, 54}));
    EXPECT_EQ(a.Gradient.Height(), 4);
    EXPECT_EQ(PlaceHeader(400, 60, 16, 13, false).Symbol.Bottom, 50);

    // A comment taller than its room starts below the caption, never over
    // it; at the height HeaderHeightFor gives, it ends above the gradient.
    for (const int comment : {13, 26, 39, 52, 130}) {
        SCOPED_TRACE(comment);
        const THeaderAreas tall = PlaceHeader(400, 60, 16, comment, true);
        EXPECT_GE(tall.Comment.Top, tall.Caption.Top + 16);
        const int height = HeaderHeightFor(16, comment);
        const THeaderAreas fits = PlaceHeader(400, height, 16, comment, true);
        EXPECT_GE(fits.Comment.Top, fits.Caption.Top + 16);
        EXPECT_LT(fits.Comment.Bottom, fits.Gradient.Top);
        EXPECT_LE(fits.Gradient.Bottom, height);
    }

    EXPECT_EQ(HeaderLine({}, 0, "Caption"), "Caption");
    EXPECT_EQ(HeaderLine({"first", "second"}, 5, "Caption"), "second");
    EXPECT_EQ(HeaderLine({"first", "second"}, 0, "Caption"), "first");
    EXPECT_EQ(HeaderLine({"first", "second"}, -3, "Caption"), "first");
}

TEST(WidgetMath, MulDivRoundsAsWindowsDoes) {
    EXPECT_EQ(MulDiv(1, 255, 9), 28);
    EXPECT_EQ(MulDiv(2, 255, 9), 57);
    EXPECT_EQ(MulDiv(1, -255, 9), -28);
    EXPECT_EQ(MulDiv(5, 1, 2), 3);
    EXPECT_EQ(MulDiv(-5, 1, 2), -3);
    EXPECT_EQ(MulDiv(7, 3, 0), -1);
    EXPECT_EQ(ClampGradientSteps(256), 255);
    EXPECT_EQ(ClampGradientSteps(1000), 255);
    EXPECT_EQ(ClampGradientSteps(255), 255);
    EXPECT_EQ(ClampGradientSteps(0), 1);
    EXPECT_EQ(ClampGradientSteps(-5), 1);
}

TEST(WidgetMath, GradientBandsCoverTheAreaEdgeToEdge) {
    const TRgb black{0, 0, 0};
    const TRgb white{255, 255, 255};
    auto bands = GradientBands({0, 0, 10, 4}, black, white, 255, 100, TGradientDir::fgdVertical);
    ASSERT_EQ(bands.size(), 10u);
    EXPECT_EQ(bands.front().Area, (TRect{0, 0, 1, 4}));
    EXPECT_EQ(bands.front().Color, black);
    EXPECT_EQ(bands[1].Color, (TRgb{28, 28, 28}));
    EXPECT_EQ(bands.back().Area, (TRect{9, 0, 10, 4}));
    EXPECT_EQ(bands.back().Color, white);

    bands = GradientBands({0, 0, 10, 4}, white, black, 255, 100, TGradientDir::fgdVertical);
    EXPECT_EQ(bands[1].Color, (TRgb{227, 227, 227}));

    bands = GradientBands({100, 0, 1100, 8}, black, white, 4, 100, TGradientDir::fgdVertical);
    ASSERT_EQ(bands.size(), 4u);
    EXPECT_EQ(bands[1].Area, (TRect{350, 0, 600, 8}));
    EXPECT_EQ(bands[3].Area.Right, 1100);

    bands = GradientBands({0, 0, 8, 10}, black, white, 255, 100, TGradientDir::fgdHorizontal);
    ASSERT_EQ(bands.size(), 10u);
    EXPECT_EQ(bands[2].Area, (TRect{0, 2, 8, 3}));

    // Filling stops after the first band past the share asked for.
    EXPECT_EQ(GradientBands({0, 0, 10, 4}, black, white, 255, 50, TGradientDir::fgdVertical).size(), 7u);
    EXPECT_EQ(GradientBands({0, 0, 10, 4}, black, white, 255, 0, TGradientDir::fgdVertical).size(), 2u);
    EXPECT_TRUE(GradientBands({0, 0, 10, 4}, black, white, 1, 100, TGradientDir::fgdVertical).empty());
    EXPECT_TRUE(GradientBands({0, 0, 0, 4}, black, white, 255, 100, TGradientDir::fgdVertical).empty());

    // Convergent: the far colour runs along the middle, the near one at both edges.
    bands = GradientBands({0, 0, 8, 10}, black, white, 255, 100, TGradientDir::fgdHorzConvergent);
    ASSERT_EQ(bands.size(), 10u);
    EXPECT_EQ(bands.front().Color, black);
    EXPECT_EQ(bands[4].Color, white);
    EXPECT_EQ(bands[5].Color, white);
    EXPECT_EQ(bands.back().Color, black);
    EXPECT_EQ(bands.back().Area.Bottom, 10);

    bands = GradientBands({0, 0, 12, 8}, black, white, 255, 100, TGradientDir::fgdRectangle);
    ASSERT_EQ(bands.size(), 4u);
    EXPECT_EQ(bands.front().Area, (TRect{0, 0, 12, 8}));
    EXPECT_EQ(bands.back().Area, (TRect{3, 3, 9, 5}));
    EXPECT_EQ(GradientBands({0, 0, 6, 4}, black, white, 255, 100, TGradientDir::fgdLeftBias).size(), 10u);
}

} // namespace

} // namespace cv::test
