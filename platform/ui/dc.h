// Drawing: device contexts, pens, brushes, fonts, bitmaps, icons and image lists, with the
// names and the behaviour the program's drawing code was written against.
//
//   CPaintDC dc(this);                       // in an ON_WM_PAINT handler; views get OnDraw(CDC*)
//   CDC mem;
//   mem.CreateCompatibleDC(&dc);
//   CBitmap bmp;
//   bmp.CreateCompatibleBitmap(&dc, w, h);
//   CBitmap* oldBmp = mem.SelectObject(&bmp);
//   CPen pen(PS_DASH, 1, RGB(0, 0, 255));
//   CPen* oldPen = mem.SelectObject(&pen);
//   mem.Polyline(points, n);
//   dc.BitBlt(0, 0, w, h, &mem, 0, 0, SRCCOPY);
//   mem.SelectObject(oldPen);
//   mem.SelectObject(oldBmp);
//
// Pixels and raster operations follow the handheld's rules, not wxWidgets': no
// anti-aliasing; a rectangle, ellipse or filled polygon covers [left, right) x [top, bottom);
// a line leaves out its last pixel; BitBlt and PatBlt take any ternary raster code and
// SetROP2 any binary one (the bit rules of platform/ui/gdi_raster.h); a monochrome bitmap
// blitted onto colour takes the destination's text colour for black and its background
// colour for white, and colour blitted onto monochrome gives white where the source pixel
// equals the source DC's background colour, black elsewhere.
//
// Windows that draw (views, CCustomWnd) keep their picture in a backing bitmap: a paint DC
// and a client DC draw into it and what they changed is shown when the DC goes; reading
// the window (BitBlt from a client DC, GetPixel) reads the backing bitmap.
//
// Objects selected into a DC stay usable by it even if the C++ object is deleted first
// (the DC keeps the drawing attributes), but the pointer SelectObject gives back is the
// caller's object, as on the handheld.
//
// User-interface thread only, except memory DCs over bitmaps that no window shares.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/gdi_types.h"

class wxDC;
class wxBitmap;
class wxImage;
class wxWindow;
class CWnd;
class CDC;
class CGdiObject;
class CPen;
class CBrush;
class CFont;
class CBitmap;

namespace platform::ui {
struct GdiData;
struct DcState;
struct IconData;
struct ImageListData;
DcState* DcStateOf(CDC* dc);
}  // namespace platform::ui

using HGDIOBJ = CGdiObject*;
using HPEN = CPen*;
using HBRUSH = CBrush*;
using HFONT = CFont*;
using HBITMAP = CBitmap*;
using HDC = CDC*;
// An icon loaded from a resource module or made from an image list; DestroyIcon frees it.
using HICON = platform::ui::IconData*;

// Pen styles.
constexpr int PS_SOLID = 0;
constexpr int PS_DASH = 1;
constexpr int PS_DOT = 2;
constexpr int PS_DASHDOT = 3;
constexpr int PS_DASHDOTDOT = 4;
constexpr int PS_NULL = 5;
constexpr int PS_INSIDEFRAME = 6;

// Hatch styles (8 x 8 pixel patterns).
constexpr int HS_HORIZONTAL = 0;
constexpr int HS_VERTICAL = 1;
constexpr int HS_FDIAGONAL = 2;  // top-left to bottom-right
constexpr int HS_BDIAGONAL = 3;  // bottom-left to top-right
constexpr int HS_CROSS = 4;
constexpr int HS_DIAGCROSS = 5;

// Stock objects.
constexpr int WHITE_BRUSH = 0;
constexpr int LTGRAY_BRUSH = 1;
constexpr int GRAY_BRUSH = 2;
constexpr int DKGRAY_BRUSH = 3;
constexpr int BLACK_BRUSH = 4;
constexpr int NULL_BRUSH = 5;
constexpr int HOLLOW_BRUSH = NULL_BRUSH;
constexpr int WHITE_PEN = 6;
constexpr int BLACK_PEN = 7;
constexpr int NULL_PEN = 8;
constexpr int SYSTEM_FONT = 13;
constexpr int DEFAULT_GUI_FONT = 17;

// Background modes.
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// Binary raster operations (SetROP2): pen P against destination D.
constexpr int R2_BLACK = 1;
constexpr int R2_NOTMERGEPEN = 2;
constexpr int R2_MASKNOTPEN = 3;
constexpr int R2_NOTCOPYPEN = 4;
constexpr int R2_MASKPENNOT = 5;
constexpr int R2_NOT = 6;
constexpr int R2_XORPEN = 7;
constexpr int R2_NOTMASKPEN = 8;
constexpr int R2_MASKPEN = 9;
constexpr int R2_NOTXORPEN = 10;
constexpr int R2_NOP = 11;
constexpr int R2_MERGENOTPEN = 12;
constexpr int R2_COPYPEN = 13;
constexpr int R2_MERGEPENNOT = 14;
constexpr int R2_MERGEPEN = 15;
constexpr int R2_WHITE = 16;

// Ternary raster codes (BitBlt, PatBlt): bits 16-23 are the truth table over
// pattern P, source S and destination D; the low word is ignored.
constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr DWORD SRCPAINT = 0x00EE0086;
constexpr DWORD SRCAND = 0x008800C6;
constexpr DWORD SRCINVERT = 0x00660046;
constexpr DWORD SRCERASE = 0x00440328;
constexpr DWORD NOTSRCCOPY = 0x00330008;
constexpr DWORD NOTSRCERASE = 0x001100A6;
constexpr DWORD MERGECOPY = 0x00C000CA;
constexpr DWORD MERGEPAINT = 0x00BB0226;
constexpr DWORD PATCOPY = 0x00F00021;
constexpr DWORD PATPAINT = 0x00FB0A09;
constexpr DWORD PATINVERT = 0x005A0049;
constexpr DWORD DSTINVERT = 0x00550009;
constexpr DWORD BLACKNESS = 0x00000042;
constexpr DWORD WHITENESS = 0x00FF0062;

// Text alignment (SetTextAlign): the reference point of TextOut/ExtTextOut.
constexpr UINT TA_NOUPDATECP = 0;
constexpr UINT TA_UPDATECP = 1;
constexpr UINT TA_LEFT = 0;
constexpr UINT TA_RIGHT = 2;
constexpr UINT TA_CENTER = 6;
constexpr UINT TA_TOP = 0;
constexpr UINT TA_BOTTOM = 8;
constexpr UINT TA_BASELINE = 24;

// ExtTextOut options.
constexpr UINT ETO_OPAQUE = 0x0002;
constexpr UINT ETO_CLIPPED = 0x0004;

// DrawText formats.
constexpr UINT DT_TOP = 0x0000;
constexpr UINT DT_LEFT = 0x0000;
constexpr UINT DT_CENTER = 0x0001;
constexpr UINT DT_RIGHT = 0x0002;
constexpr UINT DT_VCENTER = 0x0004;
constexpr UINT DT_BOTTOM = 0x0008;
constexpr UINT DT_WORDBREAK = 0x0010;
constexpr UINT DT_SINGLELINE = 0x0020;
constexpr UINT DT_EXPANDTABS = 0x0040;
constexpr UINT DT_NOCLIP = 0x0100;
constexpr UINT DT_CALCRECT = 0x0400;
constexpr UINT DT_NOPREFIX = 0x0800;
constexpr UINT DT_END_ELLIPSIS = 0x8000;

// Clip box answers.
constexpr int RGN_ERROR = 0;
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;
constexpr int COMPLEXREGION = 3;

// GetDeviceCaps.
constexpr int HORZRES = 8;
constexpr int VERTRES = 10;
constexpr int BITSPIXEL = 12;
constexpr int PLANES = 14;
constexpr int NUMCOLORS = 24;
constexpr int RASTERCAPS = 38;
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;
constexpr int RC_PALETTE = 0x0100;

// DrawEdge.
constexpr UINT BDR_RAISEDOUTER = 0x0001;
constexpr UINT BDR_SUNKENOUTER = 0x0002;
constexpr UINT BDR_RAISEDINNER = 0x0004;
constexpr UINT BDR_SUNKENINNER = 0x0008;
constexpr UINT EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
constexpr UINT EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
constexpr UINT EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER;
constexpr UINT EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;
constexpr UINT BF_LEFT = 0x0001;
constexpr UINT BF_TOP = 0x0002;
constexpr UINT BF_RIGHT = 0x0004;
constexpr UINT BF_BOTTOM = 0x0008;
constexpr UINT BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM;
constexpr UINT BF_MIDDLE = 0x0800;
constexpr UINT BF_SOFT = 0x1000;
constexpr UINT BF_ADJUST = 0x2000;
constexpr UINT BF_FLAT = 0x4000;
constexpr UINT BF_MONO = 0x8000;

// DrawFrameControl.
constexpr UINT DFC_CAPTION = 1;
constexpr UINT DFC_MENU = 2;
constexpr UINT DFC_SCROLL = 3;
constexpr UINT DFC_BUTTON = 4;
constexpr UINT DFCS_SCROLLUP = 0x0000;
constexpr UINT DFCS_SCROLLDOWN = 0x0001;
constexpr UINT DFCS_SCROLLLEFT = 0x0002;
constexpr UINT DFCS_SCROLLRIGHT = 0x0003;
constexpr UINT DFCS_SCROLLCOMBOBOX = 0x0005;
constexpr UINT DFCS_BUTTONCHECK = 0x0000;
constexpr UINT DFCS_BUTTONRADIO = 0x0004;
constexpr UINT DFCS_BUTTONPUSH = 0x0010;
constexpr UINT DFCS_INACTIVE = 0x0100;
constexpr UINT DFCS_PUSHED = 0x0200;
constexpr UINT DFCS_CHECKED = 0x0400;
constexpr UINT DFCS_FLAT = 0x4000;
constexpr UINT DFCS_MONO = 0x8000;

// System colours (GetSysColor), taken from the desktop's theme.
constexpr int COLOR_SCROLLBAR = 0;
constexpr int COLOR_BACKGROUND = 1;
constexpr int COLOR_WINDOW = 5;
constexpr int COLOR_WINDOWFRAME = 6;
constexpr int COLOR_MENU = 4;
constexpr int COLOR_MENUTEXT = 7;
constexpr int COLOR_WINDOWTEXT = 8;
constexpr int COLOR_HIGHLIGHT = 13;
constexpr int COLOR_HIGHLIGHTTEXT = 14;
constexpr int COLOR_BTNFACE = 15;
constexpr int COLOR_3DFACE = COLOR_BTNFACE;
constexpr int COLOR_BTNSHADOW = 16;
constexpr int COLOR_3DSHADOW = COLOR_BTNSHADOW;
constexpr int COLOR_GRAYTEXT = 17;
constexpr int COLOR_BTNTEXT = 18;
constexpr int COLOR_BTNHIGHLIGHT = 20;
constexpr int COLOR_3DHIGHLIGHT = COLOR_BTNHIGHLIGHT;
constexpr int COLOR_3DHILIGHT = COLOR_BTNHIGHLIGHT;
constexpr int COLOR_3DDKSHADOW = 21;
constexpr int COLOR_3DLIGHT = 22;
constexpr int COLOR_INFOTEXT = 23;
constexpr int COLOR_INFOBK = 24;
COLORREF GetSysColor(int index);
// A solid brush of the system colour (owned by the platform; never delete it).
CBrush* GetSysColorBrush(int index);

// System metrics (GetSystemMetrics).
constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SM_CXVSCROLL = 2;
constexpr int SM_CYHSCROLL = 3;
constexpr int SM_CYCAPTION = 4;
constexpr int SM_CXBORDER = 5;
constexpr int SM_CYBORDER = 6;
constexpr int SM_CXDLGFRAME = 7;
constexpr int SM_CYDLGFRAME = 8;
constexpr int SM_CXICON = 11;
constexpr int SM_CYICON = 12;
constexpr int SM_CYMENU = 15;
constexpr int SM_CXDOUBLECLK = 36;
constexpr int SM_CYDOUBLECLK = 37;
constexpr int SM_CXEDGE = 45;
constexpr int SM_CYEDGE = 46;
constexpr int SM_CXSMICON = 49;
constexpr int SM_CYSMICON = 50;
constexpr int SM_CXDRAG = 68;
constexpr int SM_CYDRAG = 69;
int GetSystemMetrics(int index);

// The screen's logical pixels per inch (LOGPIXELSX / LOGPIXELSY of every DC): the display's
// resolution, at least 96. Tests and the program may fix it (0 returns to the display's).
namespace platform::ui {
void SetLogicalDpi(int dpi);
int LogicalDpi();
}  // namespace platform::ui

// ---------------------------------------------------------------------------------------
// GDI objects

class CGdiObject {
 public:
  CGdiObject();
  virtual ~CGdiObject();
  CGdiObject(const CGdiObject&) = delete;
  CGdiObject& operator=(const CGdiObject&) = delete;

  // Frees what the object holds; FALSE when it held nothing. A stock object stays.
  BOOL DeleteObject();
  HGDIOBJ GetSafeHandle() const { return data_ ? const_cast<CGdiObject*>(this) : nullptr; }
  operator HGDIOBJ() const { return GetSafeHandle(); }  // NOLINT
  bool IsStock() const { return stock_; }

  // The platform's side (read by the DC).
  const std::shared_ptr<platform::ui::GdiData>& Data() const { return data_; }

 protected:
  void Attach(std::shared_ptr<platform::ui::GdiData> data);

 private:
  std::shared_ptr<platform::ui::GdiData> data_;
  bool stock_ = false;
  friend HGDIOBJ GetStockObject(int index);
};

// A stock pen, brush or font (never delete it); nullptr for an unknown index.
HGDIOBJ GetStockObject(int index);

class CPen : public CGdiObject {
 public:
  CPen() = default;
  CPen(int style, int width, COLORREF colour) { CreatePen(style, width, colour); }
  // Width in pixels (0 counts as 1); PS_DASH and the dotted styles draw only with width 1,
  // wider ones are solid, as on the handheld.
  BOOL CreatePen(int style, int width, COLORREF colour);
  static CPen* FromHandle(HPEN pen) { return pen; }
  operator HPEN() const { return GetSafeHandle() ? const_cast<CPen*>(this) : nullptr; }  // NOLINT
  int GetStyle() const;
  int GetWidth() const;
  COLORREF GetColor() const;
};

// Brush kinds.
constexpr UINT BS_SOLID = 0;
constexpr UINT BS_NULL = 1;
constexpr UINT BS_HATCHED = 2;
constexpr UINT BS_PATTERN = 3;

struct LOGBRUSH {
  UINT lbStyle = BS_SOLID;
  COLORREF lbColor = 0;
  LONG lbHatch = 0;
};

class CBrush : public CGdiObject {
 public:
  CBrush() = default;
  explicit CBrush(COLORREF colour) { CreateSolidBrush(colour); }
  CBrush(int hatch, COLORREF colour) { CreateHatchBrush(hatch, colour); }
  BOOL CreateSolidBrush(COLORREF colour);
  // Hatch lines in colour; between them the DC's background colour when its mode is
  // OPAQUE, the destination when TRANSPARENT.
  BOOL CreateHatchBrush(int hatch, COLORREF colour);
  // Tiles the bitmap from the DC's origin (the brush origin, SetBrushOrg). The pixels are
  // copied now; the bitmap may be deleted afterwards. A monochrome bitmap paints its black
  // pixels in the DC's text colour and its white ones in the DC's background colour.
  BOOL CreatePatternBrush(CBitmap* bitmap);
  BOOL CreateBrushIndirect(const LOGBRUSH* brush);
  static CBrush* FromHandle(HBRUSH brush) { return brush; }
  operator HBRUSH() const { return GetSafeHandle() ? const_cast<CBrush*>(this) : nullptr; }  // NOLINT
  int GetLogBrush(LOGBRUSH* brush) const;
};

// Font weights, character sets and the rest of LOGFONT's vocabulary.
constexpr LONG FW_DONTCARE = 0;
constexpr LONG FW_THIN = 100;
constexpr LONG FW_LIGHT = 300;
constexpr LONG FW_NORMAL = 400;
constexpr LONG FW_MEDIUM = 500;
constexpr LONG FW_SEMIBOLD = 600;
constexpr LONG FW_BOLD = 700;
constexpr LONG FW_HEAVY = 900;
constexpr BYTE ANSI_CHARSET = 0;
constexpr BYTE DEFAULT_CHARSET = 1;
constexpr BYTE OUT_DEFAULT_PRECIS = 0;
constexpr BYTE CLIP_DEFAULT_PRECIS = 0;
constexpr BYTE DEFAULT_QUALITY = 0;
constexpr BYTE NONANTIALIASED_QUALITY = 3;
constexpr BYTE ANTIALIASED_QUALITY = 4;
constexpr BYTE CLEARTYPE_QUALITY = 5;
constexpr BYTE DEFAULT_PITCH = 0;
constexpr BYTE FIXED_PITCH = 1;
constexpr BYTE VARIABLE_PITCH = 2;
constexpr BYTE FF_DONTCARE = 0x00;
constexpr BYTE FF_ROMAN = 0x10;
constexpr BYTE FF_SWISS = 0x20;
constexpr BYTE FF_MODERN = 0x30;

struct LOGFONT {
  // Pixels. Negative: the character height (em size); positive: the cell height including
  // internal leading; 0: the default size.
  LONG lfHeight = 0;
  LONG lfWidth = 0;
  LONG lfEscapement = 0;  // tenths of a degree, counter-clockwise
  LONG lfOrientation = 0;
  LONG lfWeight = FW_NORMAL;
  BYTE lfItalic = 0;
  BYTE lfUnderline = 0;
  BYTE lfStrikeOut = 0;
  BYTE lfCharSet = DEFAULT_CHARSET;
  BYTE lfOutPrecision = OUT_DEFAULT_PRECIS;
  BYTE lfClipPrecision = CLIP_DEFAULT_PRECIS;
  BYTE lfQuality = DEFAULT_QUALITY;
  BYTE lfPitchAndFamily = DEFAULT_PITCH;
  std::string lfFaceName;  // UTF-8; empty: the desktop's default face
};

struct TEXTMETRIC {
  LONG tmHeight = 0;  // ascent + descent
  LONG tmAscent = 0;
  LONG tmDescent = 0;
  LONG tmInternalLeading = 0;
  LONG tmExternalLeading = 0;
  LONG tmAveCharWidth = 0;
  LONG tmMaxCharWidth = 0;
  LONG tmWeight = FW_NORMAL;
};

class CFont : public CGdiObject {
 public:
  BOOL CreateFontIndirect(const LOGFONT* font);
  BOOL CreateFont(int height, int width, int escapement, int orientation, int weight,
                  BYTE italic, BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision,
                  BYTE clipPrecision, BYTE quality, BYTE pitchAndFamily,
                  const std::string& faceName);
  // pointSize in tenths of a point, converted with the DC's (else the screen's) LOGPIXELSY:
  // height = -(pointSize * dpi / 720).
  BOOL CreatePointFont(int pointSize, const std::string& faceName, CDC* dc = nullptr);
  int GetLogFont(LOGFONT* font) const;
  static CFont* FromHandle(HFONT font) { return font; }
  operator HFONT() const { return GetSafeHandle() ? const_cast<CFont*>(this) : nullptr; }  // NOLINT
};

struct BITMAP {
  LONG bmType = 0;
  LONG bmWidth = 0;
  LONG bmHeight = 0;
  LONG bmWidthBytes = 0;
  WORD bmPlanes = 1;
  WORD bmBitsPixel = 0;
};

class CBitmap : public CGdiObject {
 public:
  // A colour bitmap (24 bits per pixel) of w x h, black. A width or height of 0 gives a
  // 1 x 1 monochrome bitmap, as the handheld does.
  BOOL CreateCompatibleBitmap(CDC* dc, int width, int height);
  // bitsPerPixel 1: monochrome, rows of bits (most significant first) padded to 16 bits,
  // 1 = white; 24 or 32: rows of B, G, R (, unused) bytes, 24-bit rows padded to 32 bits.
  // bits may be nullptr (all black).
  BOOL CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
  // A BITMAP (or PNG, ICO...) resource of the current resource module (AfxGetResourceHandle).
  BOOL LoadBitmap(UINT resourceId);
  // Image bytes (PNG, BMP, ICO...) of any origin.
  BOOL LoadFromBytes(const void* data, size_t size);
  int GetBitmap(BITMAP* info) const;
  CSize GetSize() const;  // 0 x 0 when empty
  bool IsMonochrome() const;
  static CBitmap* FromHandle(HBITMAP bitmap) { return bitmap; }
  operator HBITMAP() const { return GetSafeHandle() ? const_cast<CBitmap*>(this) : nullptr; }  // NOLINT

  // The pixels as wxWidgets sees them (for toolbars and controls of the platform). Reading
  // a bitmap that is selected into a DC gives what has been drawn so far.
  wxBitmap ToWxBitmap() const;
  // Replaces the pixels (size included).
  void FromWxBitmap(const wxBitmap& bitmap);
};

// ---------------------------------------------------------------------------------------
// Icons

// An icon (resource type "ICON"; PNG or ICO bytes) of module, nullptr for the current
// resource module. nullptr when it has none.
HICON LoadIcon(HINSTANCE module, UINT resourceId);
// From image bytes of any origin; nullptr when they are not an image.
HICON CreateIconFromBytes(const void* data, size_t size);
BOOL DestroyIcon(HICON icon);
CSize GetIconSize(HICON icon);

// ---------------------------------------------------------------------------------------
// Device contexts

struct PAINTSTRUCT {
  HDC hdc = nullptr;
  BOOL fErase = FALSE;
  RECT rcPaint;
};

class CDC {
 public:
  // An empty DC: CreateCompatibleDC makes it a memory DC.
  CDC();
  // Draws straight onto a wx DC (no backing bitmap; GetPixel and raster codes other than
  // copies then only work where wxWidgets can read the DC back).
  explicit CDC(wxDC& dc);
  virtual ~CDC();
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;

  // The wx DC under this one (valid while the DC exists). Drawing through it bypasses the
  // DC's pen, brush and raster rules.
  wxDC& Wx();
  HDC GetSafeHdc() const { return const_cast<CDC*>(this); }

  // A memory DC compatible with dc (nullptr: the screen): it starts with a 1 x 1 monochrome
  // bitmap selected; select a bitmap to draw into it.
  BOOL CreateCompatibleDC(CDC* dc);
  BOOL DeleteDC();

  // Selection: each returns the object that was selected before (stock objects at first:
  // BLACK_PEN, WHITE_BRUSH, SYSTEM_FONT), nullptr on failure.
  CPen* SelectObject(CPen* pen);
  CBrush* SelectObject(CBrush* brush);
  CFont* SelectObject(CFont* font);
  // Memory DCs only; a bitmap can be selected into one DC at a time.
  CBitmap* SelectObject(CBitmap* bitmap);
  CGdiObject* SelectObject(CGdiObject* object);
  CGdiObject* SelectStockObject(int index);
  CPen* GetCurrentPen() const;
  CBrush* GetCurrentBrush() const;
  CFont* GetCurrentFont() const;
  CBitmap* GetCurrentBitmap() const;

  // Attributes; each setter returns the previous value.
  COLORREF SetTextColor(COLORREF colour);
  COLORREF GetTextColor() const;
  COLORREF SetBkColor(COLORREF colour);
  COLORREF GetBkColor() const;
  int SetBkMode(int mode);
  int GetBkMode() const;
  int SetROP2(int mode);
  int GetROP2() const;
  UINT SetTextAlign(UINT align);
  UINT GetTextAlign() const;
  CPoint SetBrushOrg(int x, int y);
  CPoint GetBrushOrg() const;
  int GetDeviceCaps(int index) const;
  // Pushes all attributes and selections; RestoreDC(-1) pops the last, RestoreDC(n) returns
  // to what SaveDC answered n.
  int SaveDC();
  BOOL RestoreDC(int saved);

  // Clipping (device pixels).
  int IntersectClipRect(int left, int top, int right, int bottom);
  int IntersectClipRect(const RECT* rect);
  int ExcludeClipRect(int left, int top, int right, int bottom);  // bounding box only
  // nullptr removes the clipping; otherwise clips to rect.
  int SelectClipRect(const RECT* rect);
  int GetClipBox(RECT* rect) const;

  // Lines with the current pen.
  CPoint MoveTo(int x, int y);
  CPoint MoveTo(POINT p) { return MoveTo(p.x, p.y); }
  BOOL LineTo(int x, int y);
  BOOL LineTo(POINT p) { return LineTo(p.x, p.y); }
  CPoint GetCurrentPosition() const;
  BOOL Polyline(const POINT* points, int count);
  // Arc of the ellipse bounded by the rectangle, counter-clockwise from the ray through
  // (xStart, yStart) to the ray through (xEnd, yEnd).
  BOOL Arc(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd);

  // Shapes: outlined with the pen, filled with the brush.
  BOOL Polygon(const POINT* points, int count);  // alternate fill
  BOOL Rectangle(int left, int top, int right, int bottom);
  BOOL Rectangle(const RECT* rect) { return Rectangle(rect->left, rect->top, rect->right, rect->bottom); }
  BOOL RoundRect(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight);
  BOOL Ellipse(int left, int top, int right, int bottom);
  BOOL Ellipse(const RECT* rect) { return Ellipse(rect->left, rect->top, rect->right, rect->bottom); }
  BOOL Pie(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd);
  BOOL Chord(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd);

  // Fills without outline.
  void FillRect(const RECT* rect, CBrush* brush);
  void FillSolidRect(const RECT* rect, COLORREF colour);
  void FillSolidRect(int x, int y, int width, int height, COLORREF colour);
  void FrameRect(const RECT* rect, CBrush* brush);
  void InvertRect(const RECT* rect);
  void Draw3dRect(const RECT* rect, COLORREF topLeft, COLORREF bottomRight);
  void Draw3dRect(int x, int y, int width, int height, COLORREF topLeft, COLORREF bottomRight);
  void DrawFocusRect(const RECT* rect);  // dotted, inverting: drawing it twice removes it
  BOOL DrawEdge(RECT* rect, UINT edge, UINT flags);
  BOOL DrawFrameControl(RECT* rect, UINT type, UINT state);

  // Pixels. GetPixel gives CLR_INVALID outside the surface or the clip box.
  COLORREF GetPixel(int x, int y) const;
  COLORREF GetPixel(POINT p) const { return GetPixel(p.x, p.y); }
  COLORREF SetPixel(int x, int y, COLORREF colour);
  BOOL SetPixelV(int x, int y, COLORREF colour);

  // Block transfers.
  BOOL BitBlt(int x, int y, int width, int height, CDC* source, int xSource, int ySource,
              DWORD rop);
  BOOL StretchBlt(int x, int y, int width, int height, CDC* source, int xSource, int ySource,
                  int sourceWidth, int sourceHeight, DWORD rop);
  // Copies the source except pixels of the transparent colour.
  BOOL TransparentBlt(int x, int y, int width, int height, CDC* source, int xSource,
                      int ySource, int sourceWidth, int sourceHeight, COLORREF transparent);
  // Pattern (the current brush) against the destination.
  BOOL PatBlt(int x, int y, int width, int height, DWORD rop);

  // Icons at their own size (DrawIcon) or scaled; transparent where the icon is.
  BOOL DrawIcon(int x, int y, HICON icon);
  BOOL DrawIcon(POINT p, HICON icon) { return DrawIcon(p.x, p.y, icon); }
  BOOL DrawIconEx(int x, int y, HICON icon, int width, int height);

  // Text in the current font and text colour. With OPAQUE background mode the text's cell
  // is first filled with the background colour. Texts are UTF-8.
  BOOL TextOut(int x, int y, const std::string& text);
  // rect: filled with the background colour under ETO_OPAQUE, clips under ETO_CLIPPED.
  // dx: per-character advances, nullptr for the font's.
  BOOL ExtTextOut(int x, int y, UINT options, const RECT* rect, const std::string& text,
                  const int* dx = nullptr);
  // Formatted into rect (DT_...); returns the height of the text drawn. DT_CALCRECT only
  // measures: rect's right and bottom are set to what the text needs.
  int DrawText(const std::string& text, RECT* rect, UINT format);
  CSize GetTextExtent(const std::string& text) const;
  CSize GetOutputTextExtent(const std::string& text) const { return GetTextExtent(text); }
  BOOL GetTextMetrics(TEXTMETRIC* metrics) const;

 protected:
  // Window DCs: draw into the window's backing bitmap.
  void AttachWindow(CWnd* window, bool paint);
  void DetachWindow();
  std::unique_ptr<platform::ui::DcState> state_;
  friend struct platform::ui::DcState;
  friend platform::ui::DcState* platform::ui::DcStateOf(CDC* dc);
};

// The DC of an ON_WM_PAINT handler: clipped to the part of the window to repaint; the
// repainted part is shown when it goes.
class CPaintDC : public CDC {
 public:
  explicit CPaintDC(CWnd* window);
  ~CPaintDC() override;
  PAINTSTRUCT m_ps;
  HWND m_hWnd = nullptr;
};

// Draws on a window outside painting (markers, rubber bands); shown when the DC goes.
class CClientDC : public CDC {
 public:
  explicit CClientDC(CWnd* window);
  ~CClientDC() override;
  HWND m_hWnd = nullptr;
};

// The same as CClientDC here: windows have no non-client area that the program draws.
class CWindowDC : public CClientDC {
 public:
  explicit CWindowDC(CWnd* window) : CClientDC(window) {}
};

// ---------------------------------------------------------------------------------------
// Image lists

constexpr UINT ILC_MASK = 0x0001;
constexpr UINT ILC_COLOR = 0x0000;
constexpr UINT ILC_COLOR4 = 0x0004;
constexpr UINT ILC_COLOR8 = 0x0008;
constexpr UINT ILC_COLOR16 = 0x0010;
constexpr UINT ILC_COLOR24 = 0x0018;
constexpr UINT ILC_COLOR32 = 0x0020;
constexpr UINT ILD_NORMAL = 0x0000;
constexpr UINT ILD_TRANSPARENT = 0x0001;
constexpr UINT ILD_MASK = 0x0010;
constexpr COLORREF CLR_NONE = 0xFFFFFFFFu;
constexpr COLORREF CLR_DEFAULT = 0xFF000000u;

// Images of one size. With ILC_MASK, pixels of the mask colour (or white in a mask bitmap)
// are transparent when drawn.
class CImageList {
 public:
  CImageList();
  ~CImageList();
  CImageList(const CImageList&) = delete;
  CImageList& operator=(const CImageList&) = delete;

  BOOL Create(int width, int height, UINT flags, int initial, int grow);
  // A strip of images from a BITMAP resource of the current resource module, each width
  // pixels wide; mask colour as in Add.
  BOOL Create(UINT bitmapId, int width, int grow, COLORREF mask);
  BOOL DeleteImageList();
  HGDIOBJ GetSafeHandle() const;

  // Adds the bitmap, cut into images of the list's width when it is wider; the index of
  // the first image added, -1 on failure.
  int Add(CBitmap* bitmap, COLORREF mask);
  int Add(CBitmap* bitmap, CBitmap* maskBitmap);
  int Add(HICON icon);
  BOOL Replace(int index, HICON icon);
  BOOL Remove(int index);  // -1: all
  int GetImageCount() const;
  CSize GetImageSize() const;
  BOOL Draw(CDC* dc, int index, POINT p, UINT style);
  // A new icon of one image (DestroyIcon frees it).
  HICON ExtractIcon(int index);

  // Dragging one image over a window: BeginDrag with the image and the hot spot inside it,
  // DragEnter with the window and the pointer in its client coordinates, DragMove with the
  // pointer, DragLeave and EndDrag at the end. The image floats over the window's picture
  // without changing it.
  BOOL BeginDrag(int index, CPoint hotSpot);
  static BOOL DragEnter(CWnd* window, CPoint point);
  static BOOL DragMove(CPoint point);
  static BOOL DragLeave(CWnd* window);
  static void EndDrag();

 private:
  std::unique_ptr<platform::ui::ImageListData> data_;
};

// Convenience: the wxWidgets image of a DC's selected bitmap or a window's backing (tests,
// screenshots). Empty when the DC has neither.
namespace platform::ui {
wxImage DcImage(CDC* dc);
}  // namespace platform::ui
