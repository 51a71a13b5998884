// Inside the drawing layer: what the GDI objects hold, the state of a DC and the backing
// bitmaps of windows. Only platform/ui/*.cpp include this.
#pragma once

#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/font.h>
#include <wx/image.h>
#include <wx/kbdstate.h>
#include <wx/region.h>

#include <memory>
#include <optional>
#include <vector>

#include "platform/ui/dc.h"

class wxWindow;

namespace platform::ui {

struct DcState;

struct GdiData {
  enum class Kind { Pen, Brush, Font, Bitmap };
  explicit GdiData(Kind k) : kind(k) {}
  virtual ~GdiData() = default;
  Kind kind;
};

struct PenData : GdiData {
  PenData() : GdiData(Kind::Pen) {}
  int style = PS_SOLID;
  int width = 1;
  COLORREF colour = 0;
};

struct BrushData : GdiData {
  BrushData() : GdiData(Kind::Brush) {}
  UINT style = BS_SOLID;
  COLORREF colour = 0;
  int hatch = 0;
  wxImage pattern;          // BS_PATTERN
  bool monoPattern = false;  // black -> text colour, white -> background colour
};

struct FontData : GdiData {
  FontData() : GdiData(Kind::Font) {}
  LOGFONT logFont;
  wxFont font;
};

// A bitmap's pixels. While a DC draws into it the wxBitmap is selected into that DC's
// memory DC (holder); pixel work goes through a cached image that is written back before
// the next drawing.
struct BitmapData : GdiData {
  BitmapData() : GdiData(Kind::Bitmap) {}
  ~BitmapData() override;
  wxBitmap bitmap;
  bool monochrome = false;
  DcState* holder = nullptr;
  std::optional<wxImage> image;
  bool imageDirty = false;

  int Width() const;
  int Height() const;
  // Releases it from the DC that holds it; writes a changed image back.
  void Settle();
  // The pixels for reading and writing (mark imageDirty after writing).
  wxImage& Pixels();
  // The pixels as a bitmap (for blitting out of it).
  const wxBitmap& Bitmap();
  // Thresholds to black and white (monochrome bitmaps after being drawn into).
  void MakeMonochrome();
};

std::shared_ptr<BitmapData> MakeBitmapData(int width, int height, bool monochrome);

struct DcState {
  CDC* owner = nullptr;
  wxDC* external = nullptr;              // CDC(wxDC&)
  std::unique_ptr<wxMemoryDC> memory;    // memory and window DCs
  std::shared_ptr<BitmapData> target;    // what memory draws into
  CWnd* window = nullptr;                // window DCs
  wxWindow* wxWin = nullptr;
  bool paint = false;

  struct Attributes {
    CPen* pen = nullptr;
    std::shared_ptr<GdiData> penData;
    CBrush* brush = nullptr;
    std::shared_ptr<GdiData> brushData;
    CFont* font = nullptr;
    std::shared_ptr<GdiData> fontData;
    CBitmap* bitmap = nullptr;
    std::shared_ptr<GdiData> bitmapData;
    COLORREF textColour = 0;
    COLORREF bkColour = 0xFFFFFF;
    int bkMode = OPAQUE;
    int rop2 = R2_COPYPEN;
    UINT textAlign = 0;
    CPoint position;
    CPoint brushOrg;
    std::optional<CRect> clip;
  };
  Attributes attr;
  std::vector<Attributes> saved;
  CRect touched;  // what window DCs changed, shown when they go

  // The wx DC to draw on, with the bitmap selected, no anti-aliasing, the clip applied.
  wxDC* Draw();
  // Lets go of the target bitmap (another DC or pixel work wants it).
  void Release();
  // Surface size in pixels (0 x 0 for none).
  wxSize SurfaceSize() const;
  void Touch(const CRect& r);
  const PenData* Pen() const;
  const BrushData* Brush() const;
  wxFont Font() const;
};

// The backing bitmap and pending paint of a window that draws through the platform.
struct WindowSurface {
  std::shared_ptr<BitmapData> backing;
  wxRegion invalid;
  bool erase = false;
  bool inPaint = false;
  // An image list's drag image floating over the picture.
  std::optional<wxBitmap> overlay;
  wxPoint overlayAt;
};

// nullptr for windows without a backing.
WindowSurface* FindSurface(wxWindow* window);
// Creates the backing (white, the window's client size) when missing; resizes keeping the
// picture when the client size changed (new parts are marked for painting).
WindowSurface& EnsureSurface(wxWindow* window);
// Shows the part of the backing that changed (the next paint event copies it out).
void PresentSurface(wxWindow* window, const wxRect& rect);
// Paint event: runs the window's paint for the invalid part, then copies the backing out.
void PaintSurface(CWnd* owner, wxWindow* window);

// Keeps GetKeyState's Shift, Ctrl and Alt in step with a key event that reached a control of
// the platform's own (an in-place editor) rather than a program window.
void NoteKeyboardState(const wxKeyboardState& state);

wxColour ToWxColour(COLORREF colour);
COLORREF FromWxColour(const wxColour& colour);

}  // namespace platform::ui
