// Pixels of memory-DC bitmaps after drawing, against what the handheld's drawing rules give.
#include <gtest/gtest.h>

#include <vector>

#include "platform/ui/dc.h"
#include "tests/support/wx_test_environment.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

class MemoryDcTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!tvxtest::WxEnvironment::ready) GTEST_SKIP() << "needs a display";
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&dc, 40, 30));
    old = dc.SelectObject(&bitmap);
    ASSERT_NE(old, nullptr);
    dc.FillSolidRect(0, 0, 40, 30, kWhite);
  }
  void TearDown() override {
    if (old) dc.SelectObject(old);
  }
  int Count(COLORREF colour, CRect area) {
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y)
      for (int x = area.left; x < area.right; ++x) n += dc.GetPixel(x, y) == colour;
    return n;
  }
  CDC dc;
  CBitmap bitmap;
  CBitmap* old = nullptr;
};

TEST_F(MemoryDcTest, SolidAndDashedLinesLeaveOutTheirLastPixel) {
  CPen solid(PS_SOLID, 1, kRed);
  CPen* oldPen = dc.SelectObject(&solid);
  dc.MoveTo(2, 5);
  dc.LineTo(30, 5);
  EXPECT_EQ(Count(kRed, CRect(0, 5, 40, 6)), 28);
  EXPECT_EQ(dc.GetPixel(2, 5), kRed);
  EXPECT_EQ(dc.GetPixel(30, 5), kWhite);
  EXPECT_EQ(Count(kRed, CRect(0, 4, 40, 5)) + Count(kRed, CRect(0, 6, 40, 7)), 0) << "one pixel wide";

  CPen dashed(PS_DASH, 1, kBlue);
  dc.SelectObject(&dashed);
  dc.MoveTo(2, 10);
  dc.LineTo(38, 10);
  int ink = Count(kBlue, CRect(0, 10, 40, 11));
  EXPECT_GT(ink, 8);
  EXPECT_LT(ink, 36) << "a dashed line has gaps";
  dc.SelectObject(oldPen);
}

TEST_F(MemoryDcTest, RectangleOutlinesWithThePenAndFillsInsideTheEdges) {
  CPen pen(PS_SOLID, 1, kBlue);
  CBrush brush(kRed);
  dc.SelectObject(&pen);
  dc.SelectObject(&brush);
  dc.Rectangle(5, 5, 15, 12);
  // Edges at 5 and 14, 5 and 11; right and bottom coordinates are outside.
  EXPECT_EQ(dc.GetPixel(5, 5), kBlue);
  EXPECT_EQ(dc.GetPixel(14, 11), kBlue);
  EXPECT_EQ(dc.GetPixel(15, 8), kWhite);
  EXPECT_EQ(dc.GetPixel(9, 12), kWhite);
  EXPECT_EQ(Count(kRed, CRect(6, 6, 14, 11)), 8 * 5);

  dc.SelectStockObject(NULL_BRUSH);
  dc.FillSolidRect(20, 5, 10, 10, kWhite);
  dc.Rectangle(20, 5, 30, 15);
  EXPECT_EQ(Count(kWhite, CRect(21, 6, 29, 14)), 8 * 8) << "the null brush leaves the inside";
  EXPECT_EQ(dc.GetPixel(20, 10), kBlue);
}

// The feature patterns: a 5 x 5 bitmap with one row coloured tiles the fill from the
// DC's origin.
TEST_F(MemoryDcTest, FivePixelPatternBrushTilesPolygonFillFromTheOrigin) {
  CDC patternDc;
  patternDc.CreateCompatibleDC(&dc);
  CBitmap cell;
  cell.CreateCompatibleBitmap(&dc, 5, 5);
  CBitmap* oldCell = patternDc.SelectObject(&cell);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x) patternDc.SetPixel(x, y, y == 2 ? kRed : kWhite);
  patternDc.SelectObject(oldCell);
  CBrush pattern;
  ASSERT_TRUE(pattern.CreatePatternBrush(&cell));

  dc.SelectObject(&pattern);
  CPen outline(PS_SOLID, 1, kBlue);  // an outline must not shift the cells
  dc.SelectObject(&outline);
  POINT square[4] = {{0, 0}, {30, 0}, {30, 25}, {0, 25}};
  dc.Polygon(square, 4);
  for (int y = 3; y < 22; ++y) {
    COLORREF expected = y % 5 == 2 ? kRed : kWhite;
    EXPECT_EQ(dc.GetPixel(12, y), expected) << "row " << y;
  }
  EXPECT_EQ(dc.GetPixel(35, 7), kWhite) << "outside the polygon";
  EXPECT_EQ(dc.GetPixel(0, 12), kBlue);
  dc.SelectStockObject(BLACK_PEN);
}

TEST_F(MemoryDcTest, HatchBrushKeepsTheBackgroundOnlyWhenTransparent) {
  CBrush hatch(HS_HORIZONTAL, kBlue);
  CRect area(0, 0, 16, 16);
  dc.FillSolidRect(&area, kRed);
  dc.SetBkMode(TRANSPARENT);
  dc.FillRect(&area, &hatch);
  EXPECT_EQ(Count(kBlue, area), 2 * 16);
  EXPECT_EQ(Count(kRed, area), 14 * 16);
  dc.SetBkMode(OPAQUE);
  dc.SetBkColor(kWhite);
  dc.FillRect(&area, &hatch);
  EXPECT_EQ(Count(kWhite, area), 14 * 16);
}

// The map overlay: a filled polygon under R2_MASKPEN keeps only what both colours share.
TEST_F(MemoryDcTest, MaskPenModeCombinesTheFillWithWhatLiesBelow) {
  const COLORREF below = RGB(0x30, 0xF0, 0x0F), fill = RGB(0xF0, 0x3C, 0xFF);
  dc.FillSolidRect(0, 0, 40, 30, below);
  CBrush brush(fill);
  CPen pen(PS_SOLID, 1, fill);
  dc.SelectObject(&brush);
  dc.SelectObject(&pen);
  int previous = dc.SetROP2(R2_MASKPEN);
  EXPECT_EQ(previous, R2_COPYPEN);
  dc.Ellipse(5, 5, 25, 25);
  EXPECT_EQ(dc.GetPixel(15, 15), (below & fill));
  EXPECT_EQ(dc.GetPixel(35, 15), below);
  dc.SetROP2(R2_COPYPEN);
}

// The target arrow: a mask made from the picture's white background, then and-ed and
// or-ed onto the map leaves the map where the picture was white.
TEST_F(MemoryDcTest, MaskAndPictureBlitsLeaveTheBackgroundTransparent) {
  dc.FillSolidRect(0, 0, 40, 30, kBlue);
  CDC pictureDc;
  pictureDc.CreateCompatibleDC(&dc);
  CBitmap picture;
  picture.CreateCompatibleBitmap(&dc, 8, 8);
  CBitmap* oldPicture = pictureDc.SelectObject(&picture);
  pictureDc.FillSolidRect(0, 0, 8, 8, kWhite);
  pictureDc.FillSolidRect(2, 2, 4, 4, kRed);

  CDC maskDc;
  maskDc.CreateCompatibleDC(&dc);
  CBitmap mask;
  mask.CreateBitmap(8, 8, 1, 1, nullptr);
  CBitmap* oldMask = maskDc.SelectObject(&mask);
  pictureDc.SetBkColor(kWhite);
  maskDc.BitBlt(0, 0, 8, 8, &pictureDc, 0, 0, SRCCOPY);  // white -> 1, rest -> 0
  EXPECT_EQ(maskDc.GetPixel(0, 0), kWhite);
  EXPECT_EQ(maskDc.GetPixel(3, 3), 0u);
  pictureDc.SetTextColor(0);  // mask black -> black, white -> white: xor blanks the white
  pictureDc.SetBkColor(kWhite);
  pictureDc.BitBlt(0, 0, 8, 8, &maskDc, 0, 0, SRCINVERT);  // blanks the picture's white
  EXPECT_EQ(pictureDc.GetPixel(0, 0), 0u);
  EXPECT_EQ(pictureDc.GetPixel(3, 3), kRed);

  dc.SetTextColor(0);
  dc.SetBkColor(kWhite);
  dc.BitBlt(10, 10, 8, 8, &maskDc, 0, 0, 0x8800C6);
  dc.BitBlt(10, 10, 8, 8, &pictureDc, 0, 0, 0xEE00C6);
  EXPECT_EQ(dc.GetPixel(10, 10), kBlue);
  EXPECT_EQ(dc.GetPixel(13, 13), kRed);
  maskDc.SelectObject(oldMask);
  pictureDc.SelectObject(oldPicture);
}

TEST_F(MemoryDcTest, TextExtentGrowsWithTheFontAndOpaqueTextFillsItsCell) {
  CFont small, large;
  small.CreateFont(-10, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "");
  large.CreateFont(-20, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "");
  CFont* oldFont = dc.SelectObject(&small);
  CSize a = dc.GetTextExtent("Offset ON");
  CSize empty = dc.GetTextExtent("");
  dc.SelectObject(&large);
  CSize b = dc.GetTextExtent("Offset ON");
  EXPECT_GT(a.cx, 20);
  EXPECT_GT(b.cx, a.cx * 3 / 2);
  EXPECT_GT(b.cy, a.cy * 3 / 2);
  EXPECT_EQ(empty.cx, 0);
  EXPECT_GT(empty.cy, 0) << "an empty text still has the line height";

  dc.SelectObject(&small);
  dc.SetBkMode(OPAQUE);
  dc.SetBkColor(kBlue);
  dc.SetTextColor(kRed);
  dc.TextOut(1, 1, "Wi");
  CSize cell = dc.GetTextExtent("Wi");
  int blue = Count(kBlue, CRect(1, 1, 1 + cell.cx, 1 + cell.cy));
  EXPECT_GT(blue, cell.cx * cell.cy / 3);
  EXPECT_EQ(dc.GetPixel(1 + cell.cx + 1, 1), kWhite) << "nothing outside the cell";
  dc.SelectObject(oldFont);
}

TEST_F(MemoryDcTest, ClippingAndReadsOutsideTheSurface) {
  dc.IntersectClipRect(10, 10, 20, 20);
  dc.FillSolidRect(0, 0, 40, 30, kRed);
  EXPECT_EQ(Count(kRed, CRect(0, 0, 40, 30)), 100);
  CRect box;
  EXPECT_EQ(dc.GetClipBox(&box), SIMPLEREGION);
  EXPECT_EQ(box, CRect(10, 10, 20, 20));
  int saved = dc.SaveDC();
  dc.IntersectClipRect(30, 30, 35, 35);
  EXPECT_EQ(dc.GetClipBox(&box), NULLREGION);
  dc.RestoreDC(saved);
  dc.SelectClipRect(nullptr);
  EXPECT_EQ(dc.GetPixel(40, 0), CLR_INVALID);
  EXPECT_EQ(dc.GetPixel(-1, 5), CLR_INVALID);
}

TEST(GdiObjects, SelectionGivesBackWhatWasSelectedAndDcsStartWithStockObjects) {
  if (!tvxtest::WxEnvironment::ready) GTEST_SKIP() << "needs a display";
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  CPen pen(PS_DASH, 1, kBlue);
  CPen* first = dc.SelectObject(&pen);
  EXPECT_EQ(first, GetStockObject(BLACK_PEN));
  EXPECT_EQ(dc.SelectObject(first), &pen);
  CBrush* brush = static_cast<CBrush*>(dc.SelectStockObject(NULL_BRUSH));
  EXPECT_EQ(brush, GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(dc.GetCurrentBrush(), GetStockObject(NULL_BRUSH));
  EXPECT_FALSE(static_cast<CGdiObject*>(GetStockObject(NULL_BRUSH))->DeleteObject());
  LOGFONT lf;
  CFont font;
  platform::ui::SetLogicalDpi(192);
  font.CreatePointFont(80, "Tahoma");
  platform::ui::SetLogicalDpi(0);
  font.GetLogFont(&lf);
  EXPECT_EQ(lf.lfHeight, -21);  // 8 pt at 192 dpi, truncated
  EXPECT_EQ(lf.lfFaceName, "Tahoma");
}

}  // namespace

namespace {

// Waypoint symbols: a strip of images with a mask colour, drawn and turned into icons that
// leave the map visible where the mask colour was.
TEST_F(MemoryDcTest, ImageListCutsAStripAndDrawsWithItsMaskColourTransparent) {
  CDC stripDc;
  stripDc.CreateCompatibleDC(&dc);
  CBitmap strip;
  strip.CreateCompatibleBitmap(&dc, 16, 8);
  CBitmap* oldStrip = stripDc.SelectObject(&strip);
  stripDc.FillSolidRect(0, 0, 16, 8, kWhite);
  stripDc.FillSolidRect(2, 2, 2, 2, kBlue);    // image 0
  stripDc.FillSolidRect(10, 4, 3, 3, kRed);    // image 1 at (2, 4)
  stripDc.SelectObject(oldStrip);

  CImageList images;
  ASSERT_TRUE(images.Create(8, 8, ILC_COLOR24 | ILC_MASK, 2, 0));
  EXPECT_EQ(images.Add(&strip, kWhite), 0);
  EXPECT_EQ(images.GetImageCount(), 2);

  const COLORREF map = RGB(10, 200, 30);
  dc.FillSolidRect(0, 0, 40, 30, map);
  EXPECT_TRUE(images.Draw(&dc, 1, CPoint(20, 10), ILD_TRANSPARENT));
  EXPECT_EQ(dc.GetPixel(22, 14), kRed);
  EXPECT_EQ(dc.GetPixel(20, 10), map) << "mask colour is transparent";
  EXPECT_EQ(Count(kBlue, CRect(0, 0, 40, 30)), 0) << "only image 1";

  HICON icon = images.ExtractIcon(0);
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(GetIconSize(icon), CSize(8, 8));
  dc.DrawIcon(0, 0, icon);
  EXPECT_EQ(Count(kBlue, CRect(0, 0, 8, 8)), 4);
  EXPECT_EQ(dc.GetPixel(0, 0), map);
  DestroyIcon(icon);
}

}  // namespace
