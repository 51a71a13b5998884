#include "platform/ui/gdi_raster.h"

#include <cmath>
#include <cstdlib>

#include "platform/ui/dc.h"

namespace platform::ui {

namespace {

constexpr COLORREF kColourBits = 0xFFFFFF;

// Bit-parallel truth table: for every bit position, picks table bit P*4+S*2+D.
COLORREF ApplyTable(unsigned table, int inputs, COLORREF p, COLORREF s, COLORREF d) {
  COLORREF result = 0;
  for (int index = 0; index < (1 << inputs); ++index) {
    if (!((table >> index) & 1u)) continue;
    COLORREF pm = (index & 4) ? p : ~p;
    COLORREF sm = (index & 2) ? s : ~s;
    COLORREF dm = (index & 1) ? d : ~d;
    result |= pm & sm & dm;
  }
  return result & kColourBits;
}

unsigned Rop3Table(DWORD rop) { return (rop >> 16) & 0xFFu; }

}  // namespace

COLORREF ApplyRop3(DWORD rop, COLORREF pattern, COLORREF source, COLORREF destination) {
  return ApplyTable(Rop3Table(rop), 3, pattern, source, destination);
}

COLORREF ApplyRop2(int rop2, COLORREF pen, COLORREF destination) {
  if (rop2 < R2_BLACK || rop2 > R2_WHITE) rop2 = R2_COPYPEN;
  unsigned table = static_cast<unsigned>(rop2 - 1);
  // Spread the 2-input table (P*2+D) over the 3-input form with S fixed to 1.
  unsigned wide = 0;
  for (int p = 0; p < 2; ++p)
    for (int d = 0; d < 2; ++d)
      if ((table >> (p * 2 + d)) & 1u) wide |= 1u << (p * 4 + 2 + d);
  return ApplyTable(wide, 3, pen, kColourBits, destination);
}

bool Rop3UsesSource(DWORD rop) {
  unsigned t = Rop3Table(rop);
  return ((t >> 2) & 0x33u) != (t & 0x33u);
}
bool Rop3UsesPattern(DWORD rop) {
  unsigned t = Rop3Table(rop);
  return ((t >> 4) & 0x0Fu) != (t & 0x0Fu);
}
bool Rop3UsesDestination(DWORD rop) {
  unsigned t = Rop3Table(rop);
  return ((t >> 1) & 0x55u) != (t & 0x55u);
}

bool HatchPixel(int hatch, int x, int y) {
  x &= 7;
  y &= 7;
  switch (hatch) {
    case HS_HORIZONTAL: return y == 4;
    case HS_VERTICAL: return x == 4;
    case HS_FDIAGONAL: return x == y;
    case HS_BDIAGONAL: return x == 7 - y;
    case HS_CROSS: return x == 4 || y == 4;
    case HS_DIAGCROSS: return x == y || x == 7 - y;
    default: return false;
  }
}

CPoint TextCellOrigin(int x, int y, UINT align, CSize extent, int ascent) {
  CPoint origin(x, y);
  if ((align & TA_CENTER) == TA_CENTER) origin.x -= extent.cx / 2;
  else if (align & TA_RIGHT) origin.x -= extent.cx;
  if ((align & TA_BASELINE) == TA_BASELINE) origin.y -= ascent;
  else if (align & TA_BOTTOM) origin.y -= extent.cy;
  return origin;
}

CPoint DrawTextOrigin(const RECT& rect, UINT format, CSize extent) {
  CPoint origin(rect.left, rect.top);
  int width = rect.right - rect.left;
  int height = rect.bottom - rect.top;
  if (format & DT_CENTER) origin.x += (width - extent.cx) / 2;
  else if (format & DT_RIGHT) origin.x += width - extent.cx;
  if (format & DT_SINGLELINE) {
    if (format & DT_VCENTER) origin.y += (height - extent.cy) / 2;
    else if (format & DT_BOTTOM) origin.y += height - extent.cy;
  }
  return origin;
}

double RayAngle(const RECT& rect, int x, int y) {
  double cx = (rect.left + rect.right) / 2.0;
  double cy = (rect.top + rect.bottom) / 2.0;
  return std::atan2(cy - y, x - cx);
}

void TapHoldDetector::Down(POINT p, std::uint64_t now) {
  armed_ = true;
  fired_ = false;
  down_ = p;
  downTime_ = now;
}

bool TapHoldDetector::Move(POINT p) {
  if (!armed_) return false;
  if (std::abs(p.x - down_.x) > slop_ || std::abs(p.y - down_.y) > slop_) armed_ = false;
  return armed_;
}

void TapHoldDetector::Up() { armed_ = false; }

bool TapHoldDetector::Tick(std::uint64_t now) {
  if (!armed_ || now - downTime_ < hold_) return false;
  armed_ = false;
  fired_ = true;
  return true;
}

}  // namespace platform::ui
