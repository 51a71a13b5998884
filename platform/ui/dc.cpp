#include "platform/ui/dc.h"

#include <wx/app.h>
#include <wx/dcgraph.h>
#include <wx/dcmemory.h>
#include <wx/display.h>
#include <wx/graphics.h>
#include <wx/mstream.h>
#include <wx/settings.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <map>
#include <utility>

#include <wx/log.h>
#include <wx/gdicmn.h>

#include "platform/modules.h"
#include "platform/ui/gdi_internal.h"
#include "platform/ui/gdi_raster.h"
#include "platform/ui/wnd.h"

using platform::ui::BitmapData;
using platform::ui::BrushData;
using platform::ui::DcState;
using platform::ui::FontData;
using platform::ui::GdiData;
using platform::ui::PenData;

namespace platform::ui {

namespace {
constexpr double kPi = 3.14159265358979323846;
}

wxColour ToWxColour(COLORREF c) { return wxColour(GetRValue(c), GetGValue(c), GetBValue(c)); }
COLORREF FromWxColour(const wxColour& c) { return RGB(c.Red(), c.Green(), c.Blue()); }

namespace {

int g_dpi = 0;

void EnsureImageHandlers() {
  // The program may have registered them at start already; twice gives duplicates.
  if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxInitAllImageHandlers();
}

COLORREF ImagePixel(const wxImage& image, int x, int y) {
  return RGB(image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y));
}

void SetImagePixel(wxImage& image, int x, int y, COLORREF c) {
  image.SetRGB(x, y, GetRValue(c), GetGValue(c), GetBValue(c));
}

}  // namespace

void SetLogicalDpi(int dpi) { g_dpi = dpi; }

int LogicalDpi() {
  if (g_dpi > 0) return g_dpi;
  int dpi = 96;
  if (wxTheApp) {
    wxSize ppi = wxGetDisplayPPI();
    if (ppi.y > dpi) dpi = ppi.y;
  }
  return dpi;
}

BitmapData::~BitmapData() {
  if (holder) holder->Release();
}

int BitmapData::Width() const { return image ? image->GetWidth() : bitmap.IsOk() ? bitmap.GetWidth() : 0; }
int BitmapData::Height() const { return image ? image->GetHeight() : bitmap.IsOk() ? bitmap.GetHeight() : 0; }

void BitmapData::Settle() {
  if (holder) holder->Release();
  if (image && imageDirty) {
    bitmap = wxBitmap(*image, 24);
    imageDirty = false;
  }
}

wxImage& BitmapData::Pixels() {
  if (holder) holder->Release();
  if (!image) {
    image = bitmap.IsOk() ? bitmap.ConvertToImage() : wxImage(1, 1);
    if (image->HasAlpha()) image->ClearAlpha();
    imageDirty = false;
  }
  return *image;
}

const wxBitmap& BitmapData::Bitmap() {
  Settle();
  return bitmap;
}

void BitmapData::MakeMonochrome() {
  wxImage& img = Pixels();
  unsigned char* p = img.GetData();
  size_t n = static_cast<size_t>(img.GetWidth()) * img.GetHeight();
  for (size_t i = 0; i < n; ++i, p += 3) {
    // Windows maps to the nearer of black and white by intensity.
    unsigned char v = (p[0] + p[1] + p[2]) >= 3 * 128 ? 255 : 0;
    p[0] = p[1] = p[2] = v;
  }
  imageDirty = true;
}

std::shared_ptr<BitmapData> MakeBitmapData(int width, int height, bool monochrome) {
  auto data = std::make_shared<BitmapData>();
  wxImage image(std::max(width, 1), std::max(height, 1), true);  // black
  data->bitmap = wxBitmap(image, 24);
  data->monochrome = monochrome;
  return data;
}

void DcState::Release() {
  if (target && target->holder == this) {
    memory->SelectObject(wxNullBitmap);
    target->holder = nullptr;
    if (target->monochrome) target->MakeMonochrome();
  }
}

wxDC* DcState::Draw() {
  wxDC* dc = external;
  if (target) {
    if (target->holder != this) {
      if (target->holder) target->holder->Release();
      if (target->image && target->imageDirty) {
        target->bitmap = wxBitmap(*target->image, 24);
      }
      target->image.reset();
      target->imageDirty = false;
      memory->SelectObject(target->bitmap);
      target->holder = this;
    } else if (target->image) {
      // Pixel work happened while selected: never, Pixels() releases first.
      target->image.reset();
    }
    dc = memory.get();
  }
  if (!dc) return nullptr;
  if (wxGraphicsContext* gc = dc->GetGraphicsContext()) {
    gc->SetAntialiasMode(wxANTIALIAS_NONE);
  }
  dc->DestroyClippingRegion();
  if (attr.clip) {
    if (attr.clip->IsRectEmpty()) dc->SetClippingRegion(-10, -10, 1, 1);
    else dc->SetClippingRegion(attr.clip->left, attr.clip->top, attr.clip->Width(), attr.clip->Height());
  }
  return dc;
}

wxSize DcState::SurfaceSize() const {
  if (target) return wxSize(target->Width(), target->Height());
  if (external) return external->GetSize();
  return wxSize(0, 0);
}

void DcState::Touch(const CRect& r) {
  CRect u;
  u.UnionRect(touched, r);
  touched = u;
}

const PenData* DcState::Pen() const { return static_cast<const PenData*>(attr.penData.get()); }
const BrushData* DcState::Brush() const { return static_cast<const BrushData*>(attr.brushData.get()); }
wxFont DcState::Font() const {
  auto* f = static_cast<const FontData*>(attr.fontData.get());
  return f && f->font.IsOk() ? f->font : *wxNORMAL_FONT;
}

}  // namespace platform::ui

using namespace platform::ui;

// ---------------------------------------------------------------------------------------
// System colours and metrics

COLORREF GetSysColor(int index) {
  wxSystemColour c = wxSYS_COLOUR_WINDOW;
  switch (index) {
    case COLOR_SCROLLBAR: c = wxSYS_COLOUR_SCROLLBAR; break;
    case COLOR_BACKGROUND: c = wxSYS_COLOUR_DESKTOP; break;
    case COLOR_MENU: c = wxSYS_COLOUR_MENU; break;
    case COLOR_WINDOW: c = wxSYS_COLOUR_WINDOW; break;
    case COLOR_WINDOWFRAME: c = wxSYS_COLOUR_WINDOWFRAME; break;
    case COLOR_MENUTEXT: c = wxSYS_COLOUR_MENUTEXT; break;
    case COLOR_WINDOWTEXT: c = wxSYS_COLOUR_WINDOWTEXT; break;
    case COLOR_HIGHLIGHT: c = wxSYS_COLOUR_HIGHLIGHT; break;
    case COLOR_HIGHLIGHTTEXT: c = wxSYS_COLOUR_HIGHLIGHTTEXT; break;
    case COLOR_BTNFACE: c = wxSYS_COLOUR_BTNFACE; break;
    case COLOR_BTNSHADOW: c = wxSYS_COLOUR_BTNSHADOW; break;
    case COLOR_GRAYTEXT: c = wxSYS_COLOUR_GRAYTEXT; break;
    case COLOR_BTNTEXT: c = wxSYS_COLOUR_BTNTEXT; break;
    case COLOR_BTNHIGHLIGHT: c = wxSYS_COLOUR_BTNHIGHLIGHT; break;
    case COLOR_3DDKSHADOW: c = wxSYS_COLOUR_3DDKSHADOW; break;
    case COLOR_3DLIGHT: c = wxSYS_COLOUR_3DLIGHT; break;
    case COLOR_INFOTEXT: c = wxSYS_COLOUR_INFOTEXT; break;
    case COLOR_INFOBK: c = wxSYS_COLOUR_INFOBK; break;
    default: break;
  }
  if (!wxTheApp) return index == COLOR_WINDOW ? 0xFFFFFF : 0;
  return FromWxColour(wxSystemSettings::GetColour(c));
}

CBrush* GetSysColorBrush(int index) {
  static std::map<int, std::unique_ptr<CBrush>> brushes;
  auto& slot = brushes[index];
  COLORREF colour = GetSysColor(index);
  if (!slot) slot = std::make_unique<CBrush>(colour);
  else if (slot->Data() && static_cast<const BrushData*>(slot->Data().get())->colour != colour)
    slot->CreateSolidBrush(colour);
  return slot.get();
}

int GetSystemMetrics(int index) {
  switch (index) {
    case SM_CXSCREEN:
    case SM_CYSCREEN: {
      if (!wxTheApp) return index == SM_CXSCREEN ? 1024 : 768;
      wxRect r = wxDisplay(0u).GetGeometry();
      return index == SM_CXSCREEN ? r.width : r.height;
    }
    case SM_CXVSCROLL: return wxTheApp ? wxSystemSettings::GetMetric(wxSYS_VSCROLL_X) : 16;
    case SM_CYHSCROLL: return wxTheApp ? wxSystemSettings::GetMetric(wxSYS_HSCROLL_Y) : 16;
    case SM_CYCAPTION: return 24;
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME: return 3;
    case SM_CXICON:
    case SM_CYICON: return 32;
    case SM_CYMENU: return 24;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK: return 4;
    case SM_CXEDGE:
    case SM_CYEDGE: return 2;
    case SM_CXSMICON:
    case SM_CYSMICON: return 16;
    case SM_CXDRAG:
    case SM_CYDRAG: return 4;
    default: return 0;
  }
}

// ---------------------------------------------------------------------------------------
// GDI objects

CGdiObject::CGdiObject() = default;
CGdiObject::~CGdiObject() = default;

BOOL CGdiObject::DeleteObject() {
  if (stock_ || !data_) return FALSE;
  data_.reset();
  return TRUE;
}

void CGdiObject::Attach(std::shared_ptr<GdiData> data) { data_ = std::move(data); }

HGDIOBJ GetStockObject(int index) {
  static std::map<int, std::unique_ptr<CGdiObject>> stock;
  auto it = stock.find(index);
  if (it != stock.end()) return it->second.get();
  std::unique_ptr<CGdiObject> object;
  switch (index) {
    case WHITE_BRUSH: object = std::make_unique<CBrush>(RGB(255, 255, 255)); break;
    case LTGRAY_BRUSH: object = std::make_unique<CBrush>(RGB(192, 192, 192)); break;
    case GRAY_BRUSH: object = std::make_unique<CBrush>(RGB(128, 128, 128)); break;
    case DKGRAY_BRUSH: object = std::make_unique<CBrush>(RGB(64, 64, 64)); break;
    case BLACK_BRUSH: object = std::make_unique<CBrush>(RGB(0, 0, 0)); break;
    case NULL_BRUSH: {
      auto brush = std::make_unique<CBrush>();
      LOGBRUSH lb;
      lb.lbStyle = BS_NULL;
      brush->CreateBrushIndirect(&lb);
      object = std::move(brush);
      break;
    }
    case WHITE_PEN: object = std::make_unique<CPen>(PS_SOLID, 1, RGB(255, 255, 255)); break;
    case BLACK_PEN: object = std::make_unique<CPen>(PS_SOLID, 1, RGB(0, 0, 0)); break;
    case NULL_PEN: object = std::make_unique<CPen>(PS_NULL, 1, 0); break;
    case SYSTEM_FONT:
    case DEFAULT_GUI_FONT: {
      auto font = std::make_unique<CFont>();
      LOGFONT lf;
      lf.lfHeight = -12;
      lf.lfWeight = index == SYSTEM_FONT ? FW_BOLD : FW_NORMAL;
      font->CreateFontIndirect(&lf);
      object = std::move(font);
      break;
    }
    default: return nullptr;
  }
  object->stock_ = true;
  return (stock[index] = std::move(object)).get();
}

BOOL CPen::CreatePen(int style, int width, COLORREF colour) {
  auto data = std::make_shared<PenData>();
  data->style = style & 0xF;
  data->width = std::max(width, 1);
  data->colour = colour & 0xFFFFFF;
  Attach(data);
  return TRUE;
}

int CPen::GetStyle() const { return Data() ? static_cast<const PenData*>(Data().get())->style : PS_SOLID; }
int CPen::GetWidth() const { return Data() ? static_cast<const PenData*>(Data().get())->width : 0; }
COLORREF CPen::GetColor() const { return Data() ? static_cast<const PenData*>(Data().get())->colour : 0; }

BOOL CBrush::CreateSolidBrush(COLORREF colour) {
  auto data = std::make_shared<BrushData>();
  data->colour = colour & 0xFFFFFF;
  Attach(data);
  return TRUE;
}

BOOL CBrush::CreateHatchBrush(int hatch, COLORREF colour) {
  if (hatch < HS_HORIZONTAL || hatch > HS_DIAGCROSS) return FALSE;
  auto data = std::make_shared<BrushData>();
  data->style = BS_HATCHED;
  data->hatch = hatch;
  data->colour = colour & 0xFFFFFF;
  Attach(data);
  return TRUE;
}

BOOL CBrush::CreatePatternBrush(CBitmap* bitmap) {
  if (!bitmap || !bitmap->Data()) return FALSE;
  auto* source = static_cast<BitmapData*>(bitmap->Data().get());
  auto data = std::make_shared<BrushData>();
  data->style = BS_PATTERN;
  data->pattern = source->Pixels().Copy();
  data->monoPattern = source->monochrome;
  Attach(data);
  return TRUE;
}

BOOL CBrush::CreateBrushIndirect(const LOGBRUSH* brush) {
  if (!brush) return FALSE;
  switch (brush->lbStyle) {
    case BS_SOLID: return CreateSolidBrush(brush->lbColor);
    case BS_HATCHED: return CreateHatchBrush(brush->lbHatch, brush->lbColor);
    case BS_NULL: {
      auto data = std::make_shared<BrushData>();
      data->style = BS_NULL;
      Attach(data);
      return TRUE;
    }
    default: return FALSE;
  }
}

int CBrush::GetLogBrush(LOGBRUSH* brush) const {
  if (!brush || !Data()) return 0;
  auto* d = static_cast<const BrushData*>(Data().get());
  brush->lbStyle = d->style;
  brush->lbColor = d->colour;
  brush->lbHatch = d->hatch;
  return sizeof(LOGBRUSH);
}

namespace {

wxFont MakeWxFont(const LOGFONT& lf) {
  int height = lf.lfHeight == 0 ? 12 : std::abs(static_cast<int>(lf.lfHeight));
  // A positive height is the cell height; the character height is about 80 % of it.
  if (lf.lfHeight > 0) height = std::max(1, height * 4 / 5);
  wxFontInfo info(wxSize(0, height));
  if (!lf.lfFaceName.empty()) info.FaceName(wxString::FromUTF8(lf.lfFaceName.c_str()));
  if ((lf.lfPitchAndFamily & 0x03) == FIXED_PITCH || (lf.lfPitchAndFamily & 0xF0) == FF_MODERN)
    info.Family(wxFONTFAMILY_TELETYPE);
  else if ((lf.lfPitchAndFamily & 0xF0) == FF_ROMAN)
    info.Family(wxFONTFAMILY_ROMAN);
  else
    info.Family(wxFONTFAMILY_SWISS);
  info.Weight(lf.lfWeight == FW_DONTCARE ? FW_NORMAL : lf.lfWeight);
  info.Italic(lf.lfItalic != 0).Underlined(lf.lfUnderline != 0).Strikethrough(lf.lfStrikeOut != 0);
  return wxFont(info);
}

}  // namespace

BOOL CFont::CreateFontIndirect(const LOGFONT* font) {
  if (!font) return FALSE;
  auto data = std::make_shared<FontData>();
  data->logFont = *font;
  if (wxTheApp) data->font = MakeWxFont(*font);
  Attach(data);
  return TRUE;
}

BOOL CFont::CreateFont(int height, int width, int escapement, int orientation, int weight,
                       BYTE italic, BYTE underline, BYTE strikeOut, BYTE charSet,
                       BYTE outPrecision, BYTE clipPrecision, BYTE quality,
                       BYTE pitchAndFamily, const std::string& faceName) {
  LOGFONT lf;
  lf.lfHeight = height;
  lf.lfWidth = width;
  lf.lfEscapement = escapement;
  lf.lfOrientation = orientation;
  lf.lfWeight = weight;
  lf.lfItalic = italic;
  lf.lfUnderline = underline;
  lf.lfStrikeOut = strikeOut;
  lf.lfCharSet = charSet;
  lf.lfOutPrecision = outPrecision;
  lf.lfClipPrecision = clipPrecision;
  lf.lfQuality = quality;
  lf.lfPitchAndFamily = pitchAndFamily;
  lf.lfFaceName = faceName;
  return CreateFontIndirect(&lf);
}

BOOL CFont::CreatePointFont(int pointSize, const std::string& faceName, CDC* dc) {
  int dpi = dc ? dc->GetDeviceCaps(LOGPIXELSY) : LogicalDpi();
  LOGFONT lf;
  lf.lfHeight = -static_cast<LONG>((static_cast<long long>(pointSize) * dpi) / 720);
  lf.lfFaceName = faceName;
  return CreateFontIndirect(&lf);
}

int CFont::GetLogFont(LOGFONT* font) const {
  if (!font || !Data()) return 0;
  *font = static_cast<const FontData*>(Data().get())->logFont;
  return sizeof(LOGFONT);
}

BOOL CBitmap::CreateCompatibleBitmap(CDC*, int width, int height) {
  if (width < 0 || height < 0) return FALSE;
  if (width == 0 || height == 0) Attach(MakeBitmapData(1, 1, true));
  else Attach(MakeBitmapData(width, height, false));
  return TRUE;
}

BOOL CBitmap::CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
  if (width <= 0 || height <= 0 || planes != 1) return FALSE;
  if (bitsPerPixel != 1 && bitsPerPixel != 24 && bitsPerPixel != 32) return FALSE;
  auto data = MakeBitmapData(width, height, bitsPerPixel == 1);
  if (bits) {
    wxImage& img = data->Pixels();
    auto* src = static_cast<const unsigned char*>(bits);
    size_t stride = bitsPerPixel == 1 ? ((width + 15) / 16) * 2
                    : bitsPerPixel == 24 ? ((width * 3 + 3) / 4) * 4
                                         : static_cast<size_t>(width) * 4;
    for (int y = 0; y < height; ++y) {
      const unsigned char* row = src + stride * y;
      for (int x = 0; x < width; ++x) {
        if (bitsPerPixel == 1) {
          bool white = (row[x / 8] >> (7 - x % 8)) & 1;
          SetImagePixel(img, x, y, white ? 0xFFFFFF : 0);
        } else {
          const unsigned char* px = row + x * (bitsPerPixel / 8);
          img.SetRGB(x, y, px[2], px[1], px[0]);
        }
      }
    }
    data->imageDirty = true;
  }
  Attach(data);
  return TRUE;
}

BOOL CBitmap::LoadFromBytes(const void* bytes, size_t size) {
  if (!bytes || size == 0 || !wxTheApp) return FALSE;
  EnsureImageHandlers();
  wxMemoryInputStream stream(bytes, size);
  wxImage image;
  {
    wxLogNull quiet;
    if (!image.LoadFile(stream, wxBITMAP_TYPE_ANY) || !image.IsOk()) return FALSE;
  }
  // Transparent parts of an image file count as white, as the handheld's bitmaps had them.
  if (image.HasAlpha() || image.HasMask()) {
    wxImage flat(image.GetWidth(), image.GetHeight());
    flat.SetRGB(wxRect(0, 0, image.GetWidth(), image.GetHeight()), 255, 255, 255);
    flat.Paste(image, 0, 0, wxIMAGE_ALPHA_BLEND_COMPOSE);
    image = flat;
  }
  auto data = std::make_shared<BitmapData>();
  data->bitmap = wxBitmap(image, 24);
  Attach(data);
  return TRUE;
}

BOOL CBitmap::LoadBitmap(UINT resourceId) {
  std::string_view item = platform::FindResourceItem(AfxGetResourceHandle(), "BITMAP", resourceId);
  if (item.empty()) return FALSE;
  return LoadFromBytes(item.data(), item.size());
}

int CBitmap::GetBitmap(BITMAP* info) const {
  if (!info || !Data()) return 0;
  auto* d = static_cast<BitmapData*>(Data().get());
  info->bmType = 0;
  info->bmWidth = d->Width();
  info->bmHeight = d->Height();
  info->bmPlanes = 1;
  info->bmBitsPixel = d->monochrome ? 1 : 24;
  info->bmWidthBytes = d->monochrome ? ((info->bmWidth + 15) / 16) * 2 : ((info->bmWidth * 3 + 3) / 4) * 4;
  return sizeof(BITMAP);
}

CSize CBitmap::GetSize() const {
  if (!Data()) return CSize();
  auto* d = static_cast<BitmapData*>(Data().get());
  return CSize(d->Width(), d->Height());
}

bool CBitmap::IsMonochrome() const {
  return Data() && static_cast<BitmapData*>(Data().get())->monochrome;
}

wxBitmap CBitmap::ToWxBitmap() const {
  if (!Data()) return wxNullBitmap;
  auto* d = static_cast<BitmapData*>(Data().get());
  // A copy, so the caller's bitmap never shares pixels with a DC that draws on.
  return wxBitmap(d->Pixels().Copy(), 24);
}

void CBitmap::FromWxBitmap(const wxBitmap& bitmap) {
  auto data = std::make_shared<BitmapData>();
  data->bitmap = wxBitmap(bitmap.ConvertToImage(), 24);
  Attach(data);
}

// ---------------------------------------------------------------------------------------
// Icons

namespace platform::ui {
struct IconData {
  wxImage image;  // with alpha
};
}  // namespace platform::ui

HICON CreateIconFromBytes(const void* bytes, size_t size) {
  if (!bytes || size == 0 || !wxTheApp) return nullptr;
  EnsureImageHandlers();
  wxMemoryInputStream stream(bytes, size);
  wxImage image;
  {
    wxLogNull quiet;
    if (!image.LoadFile(stream, wxBITMAP_TYPE_ANY) || !image.IsOk()) return nullptr;
  }
  if (image.HasMask() && !image.HasAlpha()) image.InitAlpha();
  if (!image.HasAlpha()) image.InitAlpha();
  auto* icon = new IconData;
  icon->image = image;
  return icon;
}

HICON LoadIcon(HINSTANCE module, UINT resourceId) {
  std::string_view item =
      platform::FindResourceItem(module ? module : AfxGetResourceHandle(), "ICON", resourceId);
  if (item.empty()) return nullptr;
  return CreateIconFromBytes(item.data(), item.size());
}

BOOL DestroyIcon(HICON icon) {
  if (!icon) return FALSE;
  delete icon;
  return TRUE;
}

CSize GetIconSize(HICON icon) {
  return icon ? CSize(icon->image.GetWidth(), icon->image.GetHeight()) : CSize();
}

namespace platform::ui {
HICON MakeIcon(const wxImage& image) {
  auto* icon = new IconData;
  icon->image = image;
  if (!icon->image.HasAlpha()) icon->image.InitAlpha();
  return icon;
}
const wxImage* IconImage(HICON icon) { return icon ? &icon->image : nullptr; }
}  // namespace platform::ui

// ---------------------------------------------------------------------------------------
// CDC

namespace {

CPen* StockPen(int i) { return static_cast<CPen*>(GetStockObject(i)); }
CBrush* StockBrush(int i) { return static_cast<CBrush*>(GetStockObject(i)); }
CFont* StockFont(int i) { return static_cast<CFont*>(GetStockObject(i)); }

void ResetAttributes(DcState& s) {
  s.attr = DcState::Attributes{};
  s.attr.pen = StockPen(BLACK_PEN);
  s.attr.penData = s.attr.pen->Data();
  s.attr.brush = StockBrush(WHITE_BRUSH);
  s.attr.brushData = s.attr.brush->Data();
  s.attr.font = StockFont(SYSTEM_FONT);
  s.attr.fontData = s.attr.font->Data();
}

wxPenStyle WxPenStyle(int style, int width) {
  if (width > 1) return wxPENSTYLE_SOLID;
  switch (style) {
    case PS_DASH: return wxPENSTYLE_SHORT_DASH;
    case PS_DOT: return wxPENSTYLE_DOT;
    case PS_DASHDOT:
    case PS_DASHDOTDOT: return wxPENSTYLE_DOT_DASH;
    case PS_NULL: return wxPENSTYLE_TRANSPARENT;
    default: return wxPENSTYLE_SOLID;
  }
}

}  // namespace

CDC::CDC() : state_(std::make_unique<DcState>()) {
  state_->owner = this;
  ResetAttributes(*state_);
}

CDC::CDC(wxDC& dc) : CDC() {
  state_->external = &dc;
  state_->attr.textColour = FromWxColour(dc.GetTextForeground());
}

CDC::~CDC() { DeleteDC(); }

wxDC& CDC::Wx() {
  wxDC* dc = state_->Draw();
  if (!dc) {
    // An empty DC: give it a surface so the caller has something to draw on.
    CreateCompatibleDC(nullptr);
    dc = state_->Draw();
  }
  return *dc;
}

BOOL CDC::CreateCompatibleDC(CDC*) {
  if (state_->memory || state_->external) return FALSE;
  state_->memory = std::make_unique<wxMemoryDC>();
  state_->target = MakeBitmapData(1, 1, true);
  return TRUE;
}

BOOL CDC::DeleteDC() {
  if (!state_) return FALSE;
  bool had = state_->memory || state_->external;
  state_->Release();
  state_->target.reset();
  state_->memory.reset();
  state_->external = nullptr;
  return had;
}

CPen* CDC::SelectObject(CPen* pen) {
  if (!pen || !pen->Data()) return nullptr;
  CPen* old = state_->attr.pen;
  state_->attr.pen = pen;
  state_->attr.penData = pen->Data();
  return old;
}

CBrush* CDC::SelectObject(CBrush* brush) {
  if (!brush || !brush->Data()) return nullptr;
  CBrush* old = state_->attr.brush;
  state_->attr.brush = brush;
  state_->attr.brushData = brush->Data();
  return old;
}

CFont* CDC::SelectObject(CFont* font) {
  if (!font || !font->Data()) return nullptr;
  CFont* old = state_->attr.font;
  state_->attr.font = font;
  state_->attr.fontData = font->Data();
  return old;
}

CBitmap* CDC::SelectObject(CBitmap* bitmap) {
  if (!bitmap || !bitmap->Data() || !state_->memory || state_->window) return nullptr;
  auto data = std::static_pointer_cast<BitmapData>(bitmap->Data());
  if (data->holder && data->holder != state_.get()) data->holder->Release();
  state_->Release();
  CBitmap* old = state_->attr.bitmap;
  if (!old) {
    // The stock 1 x 1 bitmap every memory DC starts with.
    static CBitmap stockBitmap;
    if (!stockBitmap.Data()) stockBitmap.CreateBitmap(1, 1, 1, 1, nullptr);
    old = &stockBitmap;
  }
  state_->attr.bitmap = bitmap;
  state_->attr.bitmapData = data;
  state_->target = data;
  return old;
}

CGdiObject* CDC::SelectObject(CGdiObject* object) {
  if (!object || !object->Data()) return nullptr;
  switch (object->Data()->kind) {
    case GdiData::Kind::Pen: return SelectObject(static_cast<CPen*>(object));
    case GdiData::Kind::Brush: return SelectObject(static_cast<CBrush*>(object));
    case GdiData::Kind::Font: return SelectObject(static_cast<CFont*>(object));
    case GdiData::Kind::Bitmap: return SelectObject(static_cast<CBitmap*>(object));
  }
  return nullptr;
}

CGdiObject* CDC::SelectStockObject(int index) { return SelectObject(GetStockObject(index)); }
CPen* CDC::GetCurrentPen() const { return state_->attr.pen; }
CBrush* CDC::GetCurrentBrush() const { return state_->attr.brush; }
CFont* CDC::GetCurrentFont() const { return state_->attr.font; }
CBitmap* CDC::GetCurrentBitmap() const { return state_->attr.bitmap; }

COLORREF CDC::SetTextColor(COLORREF c) { return std::exchange(state_->attr.textColour, c & 0xFFFFFF); }
COLORREF CDC::GetTextColor() const { return state_->attr.textColour; }
COLORREF CDC::SetBkColor(COLORREF c) { return std::exchange(state_->attr.bkColour, c & 0xFFFFFF); }
COLORREF CDC::GetBkColor() const { return state_->attr.bkColour; }
int CDC::SetBkMode(int mode) {
  if (mode != TRANSPARENT && mode != OPAQUE) return 0;
  return std::exchange(state_->attr.bkMode, mode);
}
int CDC::GetBkMode() const { return state_->attr.bkMode; }
int CDC::SetROP2(int mode) {
  if (mode < R2_BLACK || mode > R2_WHITE) return 0;
  return std::exchange(state_->attr.rop2, mode);
}
int CDC::GetROP2() const { return state_->attr.rop2; }
UINT CDC::SetTextAlign(UINT align) { return std::exchange(state_->attr.textAlign, align); }
UINT CDC::GetTextAlign() const { return state_->attr.textAlign; }
CPoint CDC::SetBrushOrg(int x, int y) { return std::exchange(state_->attr.brushOrg, CPoint(x, y)); }
CPoint CDC::GetBrushOrg() const { return state_->attr.brushOrg; }

int CDC::GetDeviceCaps(int index) const {
  switch (index) {
    case LOGPIXELSX:
    case LOGPIXELSY: return LogicalDpi();
    case HORZRES: return state_->window ? state_->SurfaceSize().x : GetSystemMetrics(SM_CXSCREEN);
    case VERTRES: return state_->window ? state_->SurfaceSize().y : GetSystemMetrics(SM_CYSCREEN);
    case BITSPIXEL: return 24;
    case PLANES: return 1;
    case NUMCOLORS: return -1;
    case RASTERCAPS: return 0;
    default: return 0;
  }
}

int CDC::SaveDC() {
  state_->saved.push_back(state_->attr);
  return static_cast<int>(state_->saved.size());
}

BOOL CDC::RestoreDC(int saved) {
  auto& stack = state_->saved;
  int index = saved < 0 ? static_cast<int>(stack.size()) + saved : saved - 1;
  if (index < 0 || index >= static_cast<int>(stack.size())) return FALSE;
  DcState::Attributes restored = stack[index];
  stack.resize(index);
  // The selected bitmap of a memory DC goes back too.
  if (restored.bitmap != state_->attr.bitmap && restored.bitmapData && state_->memory && !state_->window) {
    state_->Release();
    state_->target = std::static_pointer_cast<BitmapData>(restored.bitmapData);
  }
  state_->attr = restored;
  return TRUE;
}

// Clipping -----------------------------------------------------------------------------

namespace {

CRect SurfaceRect(const DcState& s) {
  wxSize size = s.SurfaceSize();
  return CRect(0, 0, size.x, size.y);
}

CRect ClipBox(const DcState& s) {
  CRect box = SurfaceRect(s);
  if (s.attr.clip) {
    CRect r;
    r.IntersectRect(box, *s.attr.clip);
    return r;
  }
  return box;
}

int RegionKind(const CRect& r) { return r.IsRectEmpty() ? NULLREGION : SIMPLEREGION; }

}  // namespace

int CDC::IntersectClipRect(int left, int top, int right, int bottom) {
  CRect r(left, top, right, bottom);
  CRect box;
  box.IntersectRect(ClipBox(*state_), r);
  state_->attr.clip = box;
  return RegionKind(box);
}

int CDC::IntersectClipRect(const RECT* rect) {
  return rect ? IntersectClipRect(rect->left, rect->top, rect->right, rect->bottom) : RGN_ERROR;
}

int CDC::ExcludeClipRect(int left, int top, int right, int bottom) {
  CRect box = ClipBox(*state_);
  CRect ex(left, top, right, bottom);
  // Only a cut that removes a whole side keeps a rectangle; otherwise the box stays.
  if (ex.top <= box.top && ex.bottom >= box.bottom) {
    if (ex.left <= box.left && ex.right > box.left) box.left = std::min(ex.right, box.right);
    else if (ex.right >= box.right && ex.left < box.right) box.right = std::max(ex.left, box.left);
  } else if (ex.left <= box.left && ex.right >= box.right) {
    if (ex.top <= box.top && ex.bottom > box.top) box.top = std::min(ex.bottom, box.bottom);
    else if (ex.bottom >= box.bottom && ex.top < box.bottom) box.bottom = std::max(ex.top, box.top);
  }
  state_->attr.clip = box;
  return RegionKind(box);
}

int CDC::SelectClipRect(const RECT* rect) {
  if (!rect) {
    state_->attr.clip.reset();
    return SIMPLEREGION;
  }
  state_->attr.clip = CRect(*rect);
  return RegionKind(ClipBox(*state_));
}

int CDC::GetClipBox(RECT* rect) const {
  CRect box = ClipBox(*state_);
  if (rect) *rect = box;
  return RegionKind(box);
}

// Pixel work -----------------------------------------------------------------------------

namespace {

// Runs fn over the pixels of r (clipped to the surface and clip box) of s's surface.
template <class Fn>
bool ForEachPixel(DcState& s, CRect r, Fn fn) {
  if (!s.target) return false;
  CRect box;
  if (!box.IntersectRect(ClipBox(s), r)) return true;
  wxImage& img = s.target->Pixels();
  for (int y = box.top; y < box.bottom; ++y)
    for (int x = box.left; x < box.right; ++x) {
      COLORREF d = ImagePixel(img, x, y);
      COLORREF n = fn(x, y, d);
      if (n != d) SetImagePixel(img, x, y, n);
    }
  s.target->imageDirty = true;
  if (s.target->monochrome) s.target->MakeMonochrome();
  s.Touch(box);
  return true;
}

// The colour the current brush gives pixel (x, y); nullopt where it leaves the
// destination (null brush, transparent hatch gaps).
std::optional<COLORREF> BrushPixel(const DcState& s, int x, int y) {
  const BrushData* b = s.Brush();
  if (!b) return std::nullopt;
  int bx = x - s.attr.brushOrg.x;
  int by = y - s.attr.brushOrg.y;
  switch (b->style) {
    case BS_NULL: return std::nullopt;
    case BS_HATCHED:
      if (HatchPixel(b->hatch, bx, by)) return b->colour;
      if (s.attr.bkMode == OPAQUE) return s.attr.bkColour;
      return std::nullopt;
    case BS_PATTERN: {
      int w = b->pattern.GetWidth(), h = b->pattern.GetHeight();
      if (w <= 0 || h <= 0) return std::nullopt;
      int px = ((bx % w) + w) % w, py = ((by % h) + h) % h;
      COLORREF c = ImagePixel(b->pattern, px, py);
      if (b->monoPattern) return c == 0xFFFFFF ? s.attr.bkColour : s.attr.textColour;
      return c;
    }
    default: return b->colour;
  }
}

// The 8 x 8 (or pattern-sized) tile of the brush as a wx brush, colours resolved now.
wxBrush WxBrush(const DcState& s) {
  const BrushData* b = s.Brush();
  if (!b || b->style == BS_NULL) return *wxTRANSPARENT_BRUSH;
  if (b->style == BS_SOLID) return wxBrush(ToWxColour(b->colour));
  int w = b->style == BS_PATTERN ? b->pattern.GetWidth() : 8;
  int h = b->style == BS_PATTERN ? b->pattern.GetHeight() : 8;
  if (w <= 0 || h <= 0) return *wxTRANSPARENT_BRUSH;
  // Tile of the screen-aligned pattern: pixel (x, y) of the tile is device pixel (x, y)
  // modulo the tile, so the brush origin is folded in here.
  wxImage tile(w, h);
  tile.InitAlpha();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      auto c = BrushPixel(s, x, y);
      SetImagePixel(tile, x, y, c.value_or(0));
      tile.SetAlpha(x, y, c ? 255 : 0);
    }
  return wxBrush(wxBitmap(tile, 32));
}

wxPen WxPen(const DcState& s) {
  const PenData* p = s.Pen();
  if (!p || p->style == PS_NULL) return *wxTRANSPARENT_PEN;
  wxPen pen(ToWxColour(p->colour), p->width, WxPenStyle(p->style, p->width));
  pen.SetCap(wxCAP_BUTT);
  pen.SetJoin(wxJOIN_MITER);
  return pen;
}

bool PenVisible(const DcState& s) { return s.Pen() && s.Pen()->style != PS_NULL; }

// Draws through wx; with a raster mode other than copy, the shape is drawn twice on
// scratch surfaces of two key colours to learn which pixels it covers and with what,
// and those are combined with the destination by the mode.
// With cells, the covered pixels take the colour cells gives them (nullopt: left alone)
// instead of what wx drew, so pattern and hatch brushes tile exactly from the brush origin.
using CellColour = std::function<std::optional<COLORREF>(int x, int y)>;

bool DrawShape(DcState& s, CRect bounds, const std::function<void(wxDC&)>& draw,
               const CellColour& cells = nullptr) {
  if ((s.attr.rop2 == R2_COPYPEN && !cells) || !s.target) {
    wxDC* dc = s.Draw();
    if (!dc) return false;
    draw(*dc);
    s.Touch(bounds);
    return true;
  }
  if (s.attr.rop2 == R2_NOP) return true;
  CRect box;
  if (!box.IntersectRect(ClipBox(s), bounds)) return true;
  const COLORREF keys[2] = {RGB(1, 2, 3), RGB(253, 252, 251)};
  wxImage layers[2];
  for (int i = 0; i < 2; ++i) {
    wxBitmap scratch(box.Width(), box.Height(), 24);
    wxMemoryDC mdc(scratch);
    if (wxGraphicsContext* gc = mdc.GetGraphicsContext()) gc->SetAntialiasMode(wxANTIALIAS_NONE);
    mdc.SetBackground(wxBrush(ToWxColour(keys[i])));
    mdc.Clear();
    mdc.SetDeviceOrigin(-box.left, -box.top);
    draw(mdc);
    mdc.SelectObject(wxNullBitmap);
    layers[i] = scratch.ConvertToImage();
  }
  return ForEachPixel(s, box, [&](int x, int y, COLORREF d) {
    COLORREF a = ImagePixel(layers[0], x - box.left, y - box.top);
    COLORREF b = ImagePixel(layers[1], x - box.left, y - box.top);
    if (a == keys[0] && b == keys[1]) return d;
    COLORREF pen = a != keys[0] ? a : b;
    if (cells) {
      std::optional<COLORREF> cell = cells(x, y);
      if (!cell) return d;
      pen = *cell;
    }
    return ApplyRop2(s.attr.rop2, pen, d);
  });
}

CRect PointsBounds(const POINT* pts, int n, int grow) {
  CRect r(pts[0].x, pts[0].y, pts[0].x, pts[0].y);
  for (int i = 1; i < n; ++i) {
    r.left = std::min(r.left, pts[i].x);
    r.top = std::min(r.top, pts[i].y);
    r.right = std::max(r.right, pts[i].x);
    r.bottom = std::max(r.bottom, pts[i].y);
  }
  r.InflateRect(grow, grow);
  r.right += 1;
  r.bottom += 1;
  return r;
}

int PenGrow(const DcState& s) { return s.Pen() ? s.Pen()->width / 2 + 1 : 1; }

}  // namespace

// Lines -------------------------------------------------------------------------------

CPoint CDC::MoveTo(int x, int y) { return std::exchange(state_->attr.position, CPoint(x, y)); }
CPoint CDC::GetCurrentPosition() const { return state_->attr.position; }

BOOL CDC::LineTo(int x, int y) {
  POINT pts[2] = {state_->attr.position, {x, y}};
  BOOL ok = Polyline(pts, 2);
  state_->attr.position = CPoint(x, y);
  return ok;
}

BOOL CDC::Polyline(const POINT* points, int count) {
  if (!points || count < 2) return FALSE;
  if (!PenVisible(*state_)) return TRUE;
  std::vector<wxPoint> pts;
  pts.reserve(count);
  for (int i = 0; i < count; ++i) pts.emplace_back(points[i].x, points[i].y);
  wxPen pen = WxPen(*state_);
  return DrawShape(*state_, PointsBounds(points, count, PenGrow(*state_)), [&](wxDC& dc) {
    dc.SetPen(pen);
    dc.DrawLines(static_cast<int>(pts.size()), pts.data());
  });
}

namespace {

// wx arcs go counter-clockwise from start to end in degrees, y up: as the handheld's.
void ArcAngles(const RECT& r, int xs, int ys, int xe, int ye, double* start, double* end) {
  *start = RayAngle(r, xs, ys) * 180.0 / kPi;
  *end = RayAngle(r, xe, ye) * 180.0 / kPi;
  if (*end <= *start) *end += 360.0;
}

}  // namespace

BOOL CDC::Arc(int l, int t, int r, int b, int xs, int ys, int xe, int ye) {
  if (!PenVisible(*state_)) return TRUE;
  double a0, a1;
  ArcAngles(RECT{l, t, r, b}, xs, ys, xe, ye, &a0, &a1);
  wxPen pen = WxPen(*state_);
  CRect bounds(l, t, r, b);
  bounds.NormalizeRect();
  bounds.InflateRect(PenGrow(*state_), PenGrow(*state_));
  return DrawShape(*state_, bounds, [&](wxDC& dc) {
    dc.SetPen(pen);
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    dc.DrawEllipticArc(l, t, r - l - 1, b - t - 1, a0, a1);
  });
}

// Shapes ------------------------------------------------------------------------------

namespace {

BOOL FilledShape(DcState& s, CRect bounds, const std::function<void(wxDC&)>& draw) {
  wxPen pen = WxPen(s);
  bounds.NormalizeRect();
  bounds.InflateRect(PenGrow(s), PenGrow(s));
  const BrushData* b = s.Brush();
  bool cells = s.target && b && (b->style == BS_PATTERN || b->style == BS_HATCHED);
  if (!cells) {
    wxBrush brush = WxBrush(s);
    return DrawShape(s, bounds, [&](wxDC& dc) {
      dc.SetPen(pen);
      dc.SetBrush(brush);
      draw(dc);
    });
  }
  // The fill's coverage with a stand-in brush, coloured from the brush's cells; then the
  // outline on top.
  DrawShape(
      s, bounds,
      [&](wxDC& dc) {
        dc.SetPen(*wxTRANSPARENT_PEN);
        dc.SetBrush(*wxBLACK_BRUSH);
        draw(dc);
      },
      [&](int x, int y) { return BrushPixel(s, x, y); });
  if (!PenVisible(s)) return TRUE;
  return DrawShape(s, bounds, [&](wxDC& dc) {
    dc.SetPen(pen);
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    draw(dc);
  });
}

// Shapes given by a bounding rectangle exclude its right and bottom edges; with a pen the
// outline runs inside, one pixel in from them.
int Span(int a, int b, bool pen) { return std::max(0, b - a - (pen ? 1 : 0)); }

}  // namespace

BOOL CDC::Polygon(const POINT* points, int count) {
  if (!points || count < 2) return FALSE;
  std::vector<wxPoint> pts;
  for (int i = 0; i < count; ++i) pts.emplace_back(points[i].x, points[i].y);
  return FilledShape(*state_, PointsBounds(points, count, 1), [&](wxDC& dc) {
    dc.DrawPolygon(static_cast<int>(pts.size()), pts.data(), 0, 0, wxODDEVEN_RULE);
  });
}

BOOL CDC::Rectangle(int l, int t, int r, int b) {
  bool pen = PenVisible(*state_);
  return FilledShape(*state_, CRect(l, t, r, b), [&](wxDC& dc) {
    dc.DrawRectangle(l, t, Span(l, r, pen) + (pen ? 1 : 0), Span(t, b, pen) + (pen ? 1 : 0));
  });
}

BOOL CDC::RoundRect(int l, int t, int r, int b, int ew, int eh) {
  bool pen = PenVisible(*state_);
  return FilledShape(*state_, CRect(l, t, r, b), [&](wxDC& dc) {
    dc.DrawRoundedRectangle(l, t, Span(l, r, pen) + (pen ? 1 : 0), Span(t, b, pen) + (pen ? 1 : 0),
                            std::min(ew, eh) / 2.0);
  });
}

BOOL CDC::Ellipse(int l, int t, int r, int b) {
  bool pen = PenVisible(*state_);
  return FilledShape(*state_, CRect(l, t, r, b), [&](wxDC& dc) {
    dc.DrawEllipse(l, t, Span(l, r, pen), Span(t, b, pen));
  });
}

BOOL CDC::Pie(int l, int t, int r, int b, int xs, int ys, int xe, int ye) {
  double a0, a1;
  ArcAngles(RECT{l, t, r, b}, xs, ys, xe, ye, &a0, &a1);
  bool pen = PenVisible(*state_);
  return FilledShape(*state_, CRect(l, t, r, b), [&](wxDC& dc) {
    dc.DrawEllipticArc(l, t, Span(l, r, pen), Span(t, b, pen), a0, a1);
  });
}

BOOL CDC::Chord(int l, int t, int r, int b, int xs, int ys, int xe, int ye) {
  // The arc's polygon closed by the chord.
  double a0, a1;
  ArcAngles(RECT{l, t, r, b}, xs, ys, xe, ye, &a0, &a1);
  double cx = (l + r) / 2.0, cy = (t + b) / 2.0, rx = (r - l) / 2.0, ry = (b - t) / 2.0;
  std::vector<POINT> pts;
  int steps = std::max(8, static_cast<int>((a1 - a0) / 4));
  for (int i = 0; i <= steps; ++i) {
    double a = (a0 + (a1 - a0) * i / steps) * kPi / 180.0;
    pts.push_back({static_cast<LONG>(std::lround(cx + rx * std::cos(a))),
                   static_cast<LONG>(std::lround(cy - ry * std::sin(a)))});
  }
  return Polygon(pts.data(), static_cast<int>(pts.size()));
}

// Fills -------------------------------------------------------------------------------

void CDC::FillRect(const RECT* rect, CBrush* brush) {
  if (!rect || !brush || !brush->Data()) return;
  DcState::Attributes keep = state_->attr;
  state_->attr.brush = brush;
  state_->attr.brushData = brush->Data();
  state_->attr.penData = StockPen(NULL_PEN)->Data();
  state_->attr.rop2 = R2_COPYPEN;
  CRect r(*rect);
  FilledShape(*state_, r, [&](wxDC& dc) { dc.DrawRectangle(r.left, r.top, r.Width(), r.Height()); });
  state_->attr = keep;
}

void CDC::FillSolidRect(const RECT* rect, COLORREF colour) {
  if (!rect) return;
  CBrush brush(colour);
  FillRect(rect, &brush);
}

void CDC::FillSolidRect(int x, int y, int w, int h, COLORREF colour) {
  CRect r(x, y, x + w, y + h);
  FillSolidRect(&r, colour);
}

void CDC::FrameRect(const RECT* rect, CBrush* brush) {
  if (!rect) return;
  CRect r(*rect);
  if (r.IsRectEmpty()) return;
  CRect sides[4] = {{r.left, r.top, r.right, r.top + 1},
                    {r.left, r.bottom - 1, r.right, r.bottom},
                    {r.left, r.top, r.left + 1, r.bottom},
                    {r.right - 1, r.top, r.right, r.bottom}};
  for (const CRect& side : sides) FillRect(&side, brush);
}

void CDC::InvertRect(const RECT* rect) {
  if (!rect) return;
  ForEachPixel(*state_, CRect(*rect), [](int, int, COLORREF d) { return ~d & 0xFFFFFF; });
}

void CDC::Draw3dRect(const RECT* rect, COLORREF topLeft, COLORREF bottomRight) {
  if (!rect) return;
  Draw3dRect(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, topLeft,
             bottomRight);
}

void CDC::Draw3dRect(int x, int y, int w, int h, COLORREF topLeft, COLORREF bottomRight) {
  FillSolidRect(x, y, w - 1, 1, topLeft);
  FillSolidRect(x, y, 1, h - 1, topLeft);
  FillSolidRect(x + w, y, -1, h, bottomRight);
  FillSolidRect(x, y + h, w, -1, bottomRight);
}

void CDC::DrawFocusRect(const RECT* rect) {
  if (!rect) return;
  CRect r(*rect);
  ForEachPixel(*state_, r, [&](int x, int y, COLORREF d) {
    bool edge = x == r.left || x == r.right - 1 || y == r.top || y == r.bottom - 1;
    if (!edge || ((x + y) & 1)) return d;
    return ~d & 0xFFFFFF;
  });
}

BOOL CDC::DrawEdge(RECT* rect, UINT edge, UINT flags) {
  if (!rect) return FALSE;
  CRect r(*rect);
  COLORREF light = GetSysColor(COLOR_3DLIGHT), hilight = GetSysColor(COLOR_3DHIGHLIGHT);
  COLORREF shadow = GetSysColor(COLOR_3DSHADOW), dark = GetSysColor(COLOR_3DDKSHADOW);
  if (flags & BF_MONO) light = hilight = shadow = dark = 0;
  else if (flags & BF_FLAT) { light = hilight = shadow = dark = GetSysColor(COLOR_3DSHADOW); }
  auto ring = [&](COLORREF tl, COLORREF br) {
    if (flags & BF_TOP) FillSolidRect(r.left, r.top, r.Width(), 1, tl);
    if (flags & BF_LEFT) FillSolidRect(r.left, r.top, 1, r.Height(), tl);
    if (flags & BF_BOTTOM) FillSolidRect(r.left, r.bottom - 1, r.Width(), 1, br);
    if (flags & BF_RIGHT) FillSolidRect(r.right - 1, r.top, 1, r.Height(), br);
    if (flags & BF_TOP) r.top++;
    if (flags & BF_LEFT) r.left++;
    if (flags & BF_BOTTOM) r.bottom--;
    if (flags & BF_RIGHT) r.right--;
  };
  UINT outer = edge & (BDR_RAISEDOUTER | BDR_SUNKENOUTER);
  UINT inner = edge & (BDR_RAISEDINNER | BDR_SUNKENINNER);
  if (outer == BDR_RAISEDOUTER) ring(light, dark);
  else if (outer == BDR_SUNKENOUTER) ring(shadow, hilight);
  if (inner == BDR_RAISEDINNER) ring(hilight, shadow);
  else if (inner == BDR_SUNKENINNER) ring(dark, light);
  if (flags & BF_MIDDLE) FillSolidRect(&r, GetSysColor(COLOR_BTNFACE));
  if (flags & BF_ADJUST) *rect = r;
  return TRUE;
}

BOOL CDC::DrawFrameControl(RECT* rect, UINT type, UINT state) {
  if (!rect) return FALSE;
  CRect r(*rect);
  bool pushed = state & DFCS_PUSHED;
  bool inactive = state & DFCS_INACTIVE;
  FillSolidRect(&r, GetSysColor(COLOR_BTNFACE));
  CRect edge = r;
  if (!(state & DFCS_FLAT)) DrawEdge(&edge, pushed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);
  COLORREF ink = inactive ? GetSysColor(COLOR_GRAYTEXT) : GetSysColor(COLOR_BTNTEXT);
  if (type == DFC_SCROLL) {
    // A solid triangle pointing the way of the scroll kind, centred (one pixel down and
    // right while pushed).
    int size = std::max(2, std::min(edge.Width(), edge.Height()) / 3);
    CPoint c = edge.CenterPoint();
    if (pushed) c.Offset(1, 1);
    POINT tri[3];
    switch (state & 0xF) {
      case DFCS_SCROLLUP: tri[0] = {c.x - size, c.y + size / 2}; tri[1] = {c.x + size, c.y + size / 2}; tri[2] = {c.x, c.y - size / 2 - 1}; break;
      case DFCS_SCROLLLEFT: tri[0] = {c.x + size / 2, c.y - size}; tri[1] = {c.x + size / 2, c.y + size}; tri[2] = {c.x - size / 2 - 1, c.y}; break;
      case DFCS_SCROLLRIGHT: tri[0] = {c.x - size / 2, c.y - size}; tri[1] = {c.x - size / 2, c.y + size}; tri[2] = {c.x + size / 2 + 1, c.y}; break;
      default: tri[0] = {c.x - size, c.y - size / 2}; tri[1] = {c.x + size, c.y - size / 2}; tri[2] = {c.x, c.y + size / 2 + 1}; break;
    }
    CPen pen(PS_SOLID, 1, ink);
    CBrush brush(ink);
    CPen* oldPen = SelectObject(&pen);
    CBrush* oldBrush = SelectObject(&brush);
    int oldRop = SetROP2(R2_COPYPEN);
    Polygon(tri, 3);
    SetROP2(oldRop);
    SelectObject(oldPen);
    SelectObject(oldBrush);
  } else if (type == DFC_BUTTON && (state & DFCS_CHECKED)) {
    CRect inside = edge;
    inside.DeflateRect(inside.Width() / 4, inside.Height() / 4);
    FillSolidRect(&inside, ink);
  }
  return TRUE;
}

// Pixels ------------------------------------------------------------------------------

COLORREF CDC::GetPixel(int x, int y) const {
  DcState& s = *state_;
  if (!ClipBox(s).PtInRect(POINT{x, y})) return CLR_INVALID;
  if (s.target) return ImagePixel(s.target->Pixels(), x, y);
  if (s.external) {
    wxColour c;
    if (s.external->GetPixel(x, y, &c)) return FromWxColour(c);
  }
  return CLR_INVALID;
}

COLORREF CDC::SetPixel(int x, int y, COLORREF colour) {
  colour &= 0xFFFFFF;
  DcState& s = *state_;
  if (!ClipBox(s).PtInRect(POINT{x, y})) return CLR_INVALID;
  if (s.target) {
    wxImage& img = s.target->Pixels();
    if (s.target->monochrome) colour = (GetRValue(colour) + GetGValue(colour) + GetBValue(colour)) >= 384 ? 0xFFFFFF : 0;
    SetImagePixel(img, x, y, colour);
    s.target->imageDirty = true;
    s.Touch(CRect(x, y, x + 1, y + 1));
    return colour;
  }
  if (wxDC* dc = s.Draw()) {
    dc->SetPen(wxPen(ToWxColour(colour)));
    dc->DrawPoint(x, y);
    return colour;
  }
  return CLR_INVALID;
}

BOOL CDC::SetPixelV(int x, int y, COLORREF colour) { return SetPixel(x, y, colour) != CLR_INVALID; }

// Block transfers ---------------------------------------------------------------------

namespace {

// The source pixels of a blit as colours of the destination's kind.
struct SourcePixels {
  const wxImage* image = nullptr;
  wxImage own;
  bool mono = false;
  COLORREF bk = 0xFFFFFF;
};

bool ReadSource(CDC* source, SourcePixels* out) {
  if (!source) return false;
  DcState& s = *platform::ui::DcStateOf(source);
  if (s.target) {
    out->image = &s.target->Pixels();
    out->mono = s.target->monochrome;
  } else if (s.external) {
    wxSize size = s.external->GetSize();
    wxBitmap copy = s.external->GetAsBitmap();
    if (!copy.IsOk()) return false;
    out->own = copy.ConvertToImage();
    out->image = &out->own;
    (void)size;
  } else {
    return false;
  }
  out->bk = s.attr.bkColour;
  return true;
}

}  // namespace

namespace platform::ui {
DcState* DcStateOf(CDC* dc) { return dc ? dc->state_.get() : nullptr; }
}  // namespace platform::ui

BOOL CDC::BitBlt(int x, int y, int w, int h, CDC* source, int xs, int ys, DWORD rop) {
  return StretchBlt(x, y, w, h, source, xs, ys, w, h, rop);
}

BOOL CDC::StretchBlt(int x, int y, int w, int h, CDC* source, int xs, int ys, int sw, int sh,
                     DWORD rop) {
  if (w == 0 || h == 0) return TRUE;
  DcState& d = *state_;
  bool usesSource = Rop3UsesSource(rop);
  SourcePixels src;
  if (usesSource && !ReadSource(source, &src)) return FALSE;
  CRect dest(x, y, x + w, y + h);
  dest.NormalizeRect();
  if (!d.target) {
    // Straight onto a wx DC: copies only.
    wxDC* dc = d.Draw();
    if (!dc || !usesSource) return FALSE;
    wxImage part = src.image->GetSubImage(wxRect(xs, ys, sw, sh).Intersect(wxRect(0, 0, src.image->GetWidth(), src.image->GetHeight())));
    if (sw != w || sh != h) part.Rescale(std::abs(w), std::abs(h));
    dc->DrawBitmap(wxBitmap(part, 24), dest.left, dest.top);
    return TRUE;
  }
  bool destMono = d.target->monochrome;
  // When source and destination are one surface, read a copy first.
  std::optional<wxImage> sameCopy;
  if (usesSource && src.image == &d.target->Pixels()) {
    sameCopy = src.image->Copy();
    src.image = &*sameCopy;
  }
  const CDC* self = this;
  (void)self;
  int srcW = usesSource ? src.image->GetWidth() : 0;
  int srcH = usesSource ? src.image->GetHeight() : 0;
  if (rop == SRCCOPY && sw == w && sh == h && w > 0 && h > 0 && !src.mono && !destMono) {
    // A plain copy between colour surfaces: whole rows at once (the same pixels as the
    // general loop below; pixels the source does not cover keep the destination's).
    CRect box;
    if (!box.IntersectRect(ClipBox(d), dest)) return TRUE;
    d.Touch(box);
    CRect covered;
    if (!covered.IntersectRect(box, CRect(x - xs, y - ys, x - xs + srcW, y - ys + srcH))) return TRUE;
    wxImage& img = d.target->Pixels();
    const int dstW = img.GetWidth();
    unsigned char* to = img.GetData();
    const unsigned char* from = src.image->GetData();
    const std::size_t rowBytes = static_cast<std::size_t>(covered.Width()) * 3;
    for (int py = covered.top; py < covered.bottom; ++py) {
      const std::size_t at = (static_cast<std::size_t>(py) * dstW + covered.left) * 3;
      const std::size_t of =
          (static_cast<std::size_t>(ys + py - y) * srcW + (xs + covered.left - x)) * 3;
      std::memcpy(to + at, from + of, rowBytes);
    }
    d.target->imageDirty = true;
    return TRUE;
  }
  ForEachPixel(d, dest, [&](int px, int py, COLORREF dst) -> COLORREF {
    COLORREF s = 0;
    if (usesSource) {
      int sx = xs + static_cast<int>((static_cast<long long>(px - x) * sw) / w);
      int sy = ys + static_cast<int>((static_cast<long long>(py - y) * sh) / h);
      if (sx < 0 || sy < 0 || sx >= srcW || sy >= srcH) return dst;
      s = ImagePixel(*src.image, sx, sy);
      if (src.mono && !destMono) s = MonoToColour(s == 0xFFFFFF, d.attr.textColour, d.attr.bkColour);
      else if (!src.mono && destMono) s = ColourToMono(s, src.bk) ? 0xFFFFFF : 0;
    }
    COLORREF p = BrushPixel(d, px, py).value_or(0);
    return ApplyRop3(rop, p, s, dst);
  });
  return TRUE;
}

BOOL CDC::TransparentBlt(int x, int y, int w, int h, CDC* source, int xs, int ys, int sw, int sh,
                         COLORREF transparent) {
  SourcePixels src;
  if (!ReadSource(source, &src) || w <= 0 || h <= 0 || sw <= 0 || sh <= 0) return FALSE;
  wxImage copy = src.image->Copy();
  transparent &= 0xFFFFFF;
  return ForEachPixel(*state_, CRect(x, y, x + w, y + h), [&](int px, int py, COLORREF dst) {
    int sx = xs + (px - x) * sw / w;
    int sy = ys + (py - y) * sh / h;
    if (sx < 0 || sy < 0 || sx >= copy.GetWidth() || sy >= copy.GetHeight()) return dst;
    COLORREF s = ImagePixel(copy, sx, sy);
    return s == transparent ? dst : s;
  });
}

BOOL CDC::PatBlt(int x, int y, int w, int h, DWORD rop) {
  CRect r(x, y, x + w, y + h);
  r.NormalizeRect();
  if (!state_->target) {
    if (rop != PATCOPY) return FALSE;
    FillRect(&r, state_->attr.brush);
    return TRUE;
  }
  return ForEachPixel(*state_, r, [&](int px, int py, COLORREF dst) {
    return ApplyRop3(rop, BrushPixel(*state_, px, py).value_or(0), 0, dst);
  });
}

// Icons -------------------------------------------------------------------------------

BOOL CDC::DrawIcon(int x, int y, HICON icon) {
  if (!icon) return FALSE;
  return DrawIconEx(x, y, icon, icon->image.GetWidth(), icon->image.GetHeight());
}

BOOL CDC::DrawIconEx(int x, int y, HICON icon, int w, int h) {
  if (!icon || w <= 0 || h <= 0) return FALSE;
  wxImage image = icon->image;
  if (image.GetWidth() != w || image.GetHeight() != h) image = image.Scale(w, h, wxIMAGE_QUALITY_NEAREST);
  if (state_->target) {
    return ForEachPixel(*state_, CRect(x, y, x + w, y + h), [&](int px, int py, COLORREF dst) {
      int ix = px - x, iy = py - y;
      unsigned a = image.HasAlpha() ? image.GetAlpha(ix, iy) : 255;
      if (a < 128) return dst;
      return ImagePixel(image, ix, iy);
    });
  }
  wxDC* dc = state_->Draw();
  if (!dc) return FALSE;
  dc->DrawBitmap(wxBitmap(image, 32), x, y, true);
  return TRUE;
}

// Text --------------------------------------------------------------------------------

namespace {

wxDC* MeasuringDc(DcState& s) {
  if (wxDC* dc = s.Draw()) return dc;
  static wxMemoryDC* probe = nullptr;
  if (!probe) {
    static wxBitmap bmp(1, 1, 24);
    probe = new wxMemoryDC(bmp);
  }
  return probe;
}

}  // namespace

CSize CDC::GetTextExtent(const std::string& text) const {
  DcState& s = *state_;
  if (!wxTheApp) return CSize();
  wxDC* dc = MeasuringDc(s);
  dc->SetFont(s.Font());
  wxCoord w = 0, h = 0, descent = 0, leading = 0;
  dc->GetMultiLineTextExtent(wxString::FromUTF8(text.c_str()), &w, &h);
  if (text.empty()) {
    dc->GetTextExtent("Ag", &w, &h, &descent, &leading);
    w = 0;
  }
  return CSize(w, h);
}

BOOL CDC::GetTextMetrics(TEXTMETRIC* tm) const {
  if (!tm || !wxTheApp) return FALSE;
  DcState& s = *state_;
  wxDC* dc = MeasuringDc(s);
  dc->SetFont(s.Font());
  wxFontMetrics m = dc->GetFontMetrics();
  tm->tmHeight = m.height;
  tm->tmAscent = m.ascent;
  tm->tmDescent = m.descent;
  tm->tmInternalLeading = m.internalLeading;
  tm->tmExternalLeading = m.externalLeading;
  tm->tmAveCharWidth = m.averageWidth;
  wxCoord w = 0, h = 0;
  dc->GetTextExtent("W", &w, &h);
  tm->tmMaxCharWidth = std::max<LONG>(w, m.averageWidth);
  auto* f = static_cast<const FontData*>(s.attr.fontData.get());
  tm->tmWeight = f ? f->logFont.lfWeight : FW_NORMAL;
  return TRUE;
}

namespace {

// One line of text with its cell at origin; fills the cell first when opaque.
void DrawTextCell(DcState& s, CPoint origin, const wxString& text, CSize extent, bool opaque,
                  const CRect* clip) {
  std::optional<CRect> keepClip = s.attr.clip;
  if (clip) {
    CRect box;
    box.IntersectRect(ClipBox(s), *clip);
    s.attr.clip = box;
  }
  wxDC* dc = s.Draw();
  if (dc) {
    if (opaque) {
      dc->SetPen(*wxTRANSPARENT_PEN);
      dc->SetBrush(wxBrush(ToWxColour(s.attr.bkColour)));
      dc->DrawRectangle(origin.x, origin.y, extent.cx, extent.cy);
    }
    dc->SetFont(s.Font());
    dc->SetTextForeground(ToWxColour(s.attr.textColour));
    dc->SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    dc->DrawText(text, origin.x, origin.y);
    s.Touch(CRect(CPoint(origin), extent));
  }
  s.attr.clip = keepClip;
}

}  // namespace

BOOL CDC::TextOut(int x, int y, const std::string& text) {
  return ExtTextOut(x, y, 0, nullptr, text);
}

BOOL CDC::ExtTextOut(int x, int y, UINT options, const RECT* rect, const std::string& text,
                     const int* dx) {
  DcState& s = *state_;
  if (!wxTheApp) return FALSE;
  bool updateCp = s.attr.textAlign & TA_UPDATECP;
  if (updateCp) {
    x = s.attr.position.x;
    y = s.attr.position.y;
  }
  if (rect && (options & ETO_OPAQUE)) {
    CRect r(*rect);
    std::optional<CRect> keep = s.attr.clip;
    FillSolidRect(&r, s.attr.bkColour);
    s.attr.clip = keep;
  }
  wxString wtext = wxString::FromUTF8(text.c_str());
  CSize extent = GetTextExtent(text);
  TEXTMETRIC tm;
  GetTextMetrics(&tm);
  CPoint origin = TextCellOrigin(x, y, s.attr.textAlign & ~TA_UPDATECP, extent, tm.tmAscent);
  bool opaque = s.attr.bkMode == OPAQUE && !(rect && (options & ETO_OPAQUE));
  CRect clip = rect ? CRect(*rect) : CRect();
  if (dx && !text.empty()) {
    // Character by character at the given advances.
    int pos = origin.x;
    size_t i = 0;
    for (wxUniChar ch : wtext) {
      wxString one(ch);
      CSize e = GetTextExtent(std::string(one.utf8_str()));
      DrawTextCell(s, CPoint(pos, origin.y), one, e, opaque, (options & ETO_CLIPPED) && rect ? &clip : nullptr);
      pos += dx[i++];
    }
    extent.cx = pos - origin.x;
  } else {
    DrawTextCell(s, origin, wtext, extent, opaque, (options & ETO_CLIPPED) && rect ? &clip : nullptr);
  }
  if (updateCp) s.attr.position.x += (s.attr.textAlign & TA_RIGHT) ? -extent.cx : extent.cx;
  return TRUE;
}

namespace {

// Breaks text into lines: at line breaks, and with wordBreak also where a word would
// cross the width.
std::vector<std::string> BreakLines(CDC* dc, const std::string& text, bool wordBreak, int width) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= text.size()) {
    size_t nl = text.find('\n', start);
    std::string para = text.substr(start, nl == std::string::npos ? std::string::npos : nl - start);
    if (!para.empty() && para.back() == '\r') para.pop_back();
    if (!wordBreak || dc->GetTextExtent(para).cx <= width) {
      lines.push_back(para);
    } else {
      std::string line;
      size_t pos = 0;
      while (pos < para.size()) {
        size_t sp = para.find(' ', pos);
        std::string word = para.substr(pos, sp == std::string::npos ? std::string::npos : sp - pos);
        std::string candidate = line.empty() ? word : line + " " + word;
        if (!line.empty() && dc->GetTextExtent(candidate).cx > width) {
          lines.push_back(line);
          line = word;
        } else {
          line = candidate;
        }
        if (sp == std::string::npos) break;
        pos = sp + 1;
      }
      lines.push_back(line);
    }
    if (nl == std::string::npos) break;
    start = nl + 1;
  }
  return lines;
}

std::string StripPrefix(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&') {
      if (i + 1 < text.size() && text[i + 1] == '&') out += '&';
      ++i;
      if (i < text.size() && text[i] != '&') out += text[i];
      continue;
    }
    out += text[i];
  }
  return out;
}

}  // namespace

int CDC::DrawText(const std::string& rawText, RECT* rect, UINT format) {
  if (!rect || !wxTheApp) return 0;
  DcState& s = *state_;
  std::string text = (format & DT_NOPREFIX) ? rawText : StripPrefix(rawText);
  CRect r(*rect);
  std::vector<std::string> lines;
  if (format & DT_SINGLELINE) {
    std::string one = text;
    std::replace(one.begin(), one.end(), '\n', ' ');
    lines.push_back(one);
  } else {
    lines = BreakLines(this, text, format & DT_WORDBREAK, r.Width());
  }
  TEXTMETRIC tm;
  GetTextMetrics(&tm);
  int lineHeight = tm.tmHeight;
  int width = 0;
  for (auto& line : lines) {
    if ((format & DT_END_ELLIPSIS) && GetTextExtent(line).cx > r.Width()) {
      // Cut whole characters until the text and the ellipsis fit.
      wxString w = wxString::FromUTF8(line.c_str());
      while (!w.empty() && GetTextExtent(std::string((w + "...").utf8_str())).cx > r.Width()) w.RemoveLast();
      line = std::string((w + "...").utf8_str());
    }
    width = std::max<int>(width, GetTextExtent(line).cx);
  }
  int height = lineHeight * static_cast<int>(lines.size());
  if (format & DT_CALCRECT) {
    rect->right = rect->left + width;
    rect->bottom = rect->top + height;
    return height;
  }
  CRect clip = r;
  bool noClip = format & DT_NOCLIP;
  bool opaque = s.attr.bkMode == OPAQUE;
  CPoint block = DrawTextOrigin(r, format, CSize(width, height));
  int y = block.y;
  for (const auto& line : lines) {
    CSize e = GetTextExtent(line);
    CPoint origin = DrawTextOrigin(CRect(r.left, y, r.right, y + lineHeight), format & ~(DT_VCENTER | DT_BOTTOM), e);
    DrawTextCell(s, origin, wxString::FromUTF8(line.c_str()), CSize(e.cx, lineHeight), opaque,
                 noClip ? nullptr : &clip);
    y += lineHeight;
  }
  return height;
}

// Window DCs ---------------------------------------------------------------------------

void CDC::AttachWindow(CWnd* window, bool paint) {
  state_->window = window;
  state_->paint = paint;
  state_->wxWin = window ? window->GetWxWindow() : nullptr;
  if (!state_->wxWin) return;
  WindowSurface& surface = EnsureSurface(state_->wxWin);
  state_->memory = std::make_unique<wxMemoryDC>();
  state_->target = surface.backing;
  if (CFont* font = window->GetFont()) SelectObject(font);
  if (paint && !surface.invalid.IsEmpty()) {
    wxRect box = surface.invalid.GetBox();
    state_->attr.clip = CRect(box.x, box.y, box.GetRight() + 1, box.GetBottom() + 1);
  }
}

void CDC::DetachWindow() {
  if (!state_->wxWin) return;
  state_->Release();
  if (WindowSurface* surface = FindSurface(state_->wxWin)) {
    if (state_->paint) surface->invalid.Clear();
    CRect t = state_->touched;
    if (state_->paint && state_->attr.clip) t.UnionRect(t, *state_->attr.clip);
    if (!t.IsRectEmpty()) PresentSurface(state_->wxWin, wxRect(t.left, t.top, t.Width(), t.Height()));
  }
  state_->target.reset();
  state_->memory.reset();
  state_->wxWin = nullptr;
  state_->window = nullptr;
}

CPaintDC::CPaintDC(CWnd* window) {
  m_hWnd = window ? window->m_hWnd : nullptr;
  AttachWindow(window, true);
  m_ps.hdc = this;
  CRect box;
  GetClipBox(&box);
  m_ps.rcPaint = box;
  if (WindowSurface* s = state_->wxWin ? FindSurface(state_->wxWin) : nullptr) m_ps.fErase = s->erase;
}

CPaintDC::~CPaintDC() { DetachWindow(); }

CClientDC::CClientDC(CWnd* window) {
  m_hWnd = window ? window->m_hWnd : nullptr;
  AttachWindow(window, false);
}

CClientDC::~CClientDC() { DetachWindow(); }

namespace platform::ui {

wxImage DcImage(CDC* dc) {
  DcState* s = DcStateOf(dc);
  if (!s || !s->target) return wxImage();
  return s->target->Pixels().Copy();
}

}  // namespace platform::ui
