// Pixel rules of the drawing layer without a display: raster codes against their bit
// definitions, hatch cells, text placement and the tap-and-hold gesture.
#include <gtest/gtest.h>

#include "platform/ui/dc.h"
#include "platform/ui/gdi_raster.h"

using namespace platform::ui;

namespace {

constexpr COLORREF P = 0x0F0F0F, S = 0x333333, D = 0x555555;

TEST(RasterCodes, NamedTernaryCodesCombineAsTheirBooleanDefinitions) {
  struct Case {
    DWORD rop;
    COLORREF expected;
  } cases[] = {
      {SRCCOPY, S},
      {SRCAND, S & D},
      {SRCPAINT, S | D},
      {0x00EE00C6, S | D},  // the "or" code the map overlay uses: only bits 16-23 count
      {SRCINVERT, S ^ D},
      {SRCERASE, S & (~D & 0xFFFFFF)},
      {NOTSRCCOPY, ~S & 0xFFFFFF},
      {MERGECOPY, P & S},
      {PATCOPY, P},
      {PATINVERT, P ^ D},
      {DSTINVERT, ~D & 0xFFFFFF},
      {BLACKNESS, 0},
      {WHITENESS, 0xFFFFFF},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ApplyRop3(c.rop, P, S, D), c.expected) << std::hex << c.rop;
  }
  EXPECT_TRUE(Rop3UsesSource(SRCAND));
  EXPECT_FALSE(Rop3UsesSource(PATINVERT));
  EXPECT_TRUE(Rop3UsesPattern(PATINVERT));
  EXPECT_FALSE(Rop3UsesPattern(SRCCOPY));
  EXPECT_FALSE(Rop3UsesDestination(SRCCOPY));
  EXPECT_TRUE(Rop3UsesDestination(DSTINVERT));
}

TEST(RasterCodes, AllSixteenBinaryModes) {
  const COLORREF pen = 0x0F0F0F, dst = 0x555555, m = 0xFFFFFF;
  const COLORREF expected[16] = {
      0,                  // R2_BLACK
      ~(pen | dst) & m,   // R2_NOTMERGEPEN
      ~pen & dst & m,     // R2_MASKNOTPEN
      ~pen & m,           // R2_NOTCOPYPEN
      pen & ~dst & m,     // R2_MASKPENNOT
      ~dst & m,           // R2_NOT
      pen ^ dst,          // R2_XORPEN
      ~(pen & dst) & m,   // R2_NOTMASKPEN
      pen & dst,          // R2_MASKPEN
      ~(pen ^ dst) & m,   // R2_NOTXORPEN
      dst,                // R2_NOP
      (~pen | dst) & m,   // R2_MERGENOTPEN
      pen,                // R2_COPYPEN
      (pen | ~dst) & m,   // R2_MERGEPENNOT
      pen | dst,          // R2_MERGEPEN
      m,                  // R2_WHITE
  };
  for (int mode = R2_BLACK; mode <= R2_WHITE; ++mode) {
    EXPECT_EQ(ApplyRop2(mode, pen, dst), expected[mode - 1]) << "mode " << mode;
  }
}

TEST(HatchCells, LinesOfEachStyleRepeatEveryEightPixels) {
  int onRow4 = 0, onColumn4 = 0;
  for (int i = 0; i < 8; ++i) {
    onRow4 += HatchPixel(HS_HORIZONTAL, i, 4);
    onColumn4 += HatchPixel(HS_VERTICAL, 4, i);
    EXPECT_FALSE(HatchPixel(HS_HORIZONTAL, i, 3));
    EXPECT_TRUE(HatchPixel(HS_FDIAGONAL, i, i));
    EXPECT_TRUE(HatchPixel(HS_BDIAGONAL, 7 - i, i));
    EXPECT_EQ(HatchPixel(HS_CROSS, i, 4), true);
  }
  EXPECT_EQ(onRow4, 8);
  EXPECT_EQ(onColumn4, 8);
  EXPECT_EQ(HatchPixel(HS_FDIAGONAL, 3, 3), HatchPixel(HS_FDIAGONAL, 3 + 8, 3 - 16));
  EXPECT_FALSE(HatchPixel(HS_FDIAGONAL, 1, 2));
  EXPECT_TRUE(HatchPixel(HS_DIAGCROSS, 6, 1));
}

TEST(TextPlacement, ReferencePointAndRectangleFormats) {
  const CSize extent(40, 10);
  EXPECT_EQ(TextCellOrigin(100, 50, TA_LEFT | TA_TOP, extent, 8), CPoint(100, 50));
  EXPECT_EQ(TextCellOrigin(100, 50, TA_RIGHT, extent, 8), CPoint(60, 50));
  EXPECT_EQ(TextCellOrigin(100, 50, TA_CENTER | TA_BOTTOM, extent, 8), CPoint(80, 40));
  EXPECT_EQ(TextCellOrigin(100, 50, TA_BASELINE, extent, 8), CPoint(100, 42));

  const RECT r{0, 20, 100, 60};
  EXPECT_EQ(DrawTextOrigin(r, DT_LEFT, extent), CPoint(0, 20));
  EXPECT_EQ(DrawTextOrigin(r, DT_CENTER, extent), CPoint(30, 20));
  EXPECT_EQ(DrawTextOrigin(r, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE, extent), CPoint(60, 50));
  EXPECT_EQ(DrawTextOrigin(r, DT_CENTER | DT_VCENTER | DT_SINGLELINE, extent), CPoint(30, 35));
  // Vertical placement needs a single line.
  EXPECT_EQ(DrawTextOrigin(r, DT_VCENTER, extent), CPoint(0, 20));
}

TEST(TapAndHold, FiresOnceAfterTheTimeUnlessReleasedOrMoved) {
  TapHoldDetector held(600, 5);
  held.Down({10, 10}, 1000);
  EXPECT_TRUE(held.Move({15, 5}));  // within the slop
  EXPECT_FALSE(held.Tick(1599));
  EXPECT_TRUE(held.Tick(1600));
  EXPECT_FALSE(held.Tick(2000)) << "fires once";
  EXPECT_TRUE(held.Fired());

  TapHoldDetector released(600, 5);
  released.Down({0, 0}, 0);
  released.Up();
  EXPECT_FALSE(released.Tick(5000));

  TapHoldDetector wandered(600, 5);
  wandered.Down({0, 0}, 0);
  EXPECT_FALSE(wandered.Move({6, 0}));
  EXPECT_FALSE(wandered.Move({0, 0})) << "coming back does not re-arm";
  EXPECT_FALSE(wandered.Tick(5000));
}

TEST(Rectangles, IntersectionUnionAndHits) {
  CRect a(0, 0, 10, 10), b(5, 5, 20, 8), out;
  EXPECT_TRUE(out.IntersectRect(a, b));
  EXPECT_EQ(out, CRect(5, 5, 10, 8));
  EXPECT_FALSE(out.IntersectRect(a, CRect(10, 0, 20, 10))) << "right edge is outside";
  EXPECT_TRUE(out.IsRectNull());
  EXPECT_TRUE(out.UnionRect(CRect(), b));
  EXPECT_EQ(out, b);
  out.UnionRect(a, b);
  EXPECT_EQ(out, CRect(0, 0, 20, 10));
  EXPECT_TRUE(a.PtInRect({0, 9}));
  EXPECT_FALSE(a.PtInRect({10, 5}));
  EXPECT_EQ(CPoint(MAKELPARAM(-3, 40)), CPoint(-3, 40));
}

}  // namespace
