// Image lists: images of one size with transparency, drawn into DCs, turned into icons,
// and dragged over a window as a floating picture.
#include <wx/window.h>

#include "platform/modules.h"
#include "platform/ui/gdi_internal.h"
#include "platform/ui/wnd.h"

namespace platform::ui {

HICON MakeIcon(const wxImage& image);
const wxImage* IconImage(HICON icon);

struct ImageListData {
  int width = 0;
  int height = 0;
  UINT flags = 0;
  std::vector<wxImage> images;  // with alpha
};

namespace {

struct Drag {
  wxImage image;
  wxPoint hotSpot;
  HWND window = nullptr;
  bool active = false;
};
Drag& TheDrag() {
  static Drag drag;
  return drag;
}

void ShowDragAt(wxPoint pointer) {
  Drag& drag = TheDrag();
  CWnd* wnd = CWnd::FromHandle(drag.window);
  wxWindow* w = wnd ? wnd->GetWxWindow() : nullptr;
  WindowSurface* surface = w ? FindSurface(w) : nullptr;
  if (!surface) return;
  wxRect old = surface->overlay ? wxRect(surface->overlayAt, surface->overlay->GetSize()) : wxRect();
  surface->overlay = wxBitmap(drag.image, 32);
  surface->overlayAt = pointer - drag.hotSpot;
  wxRect now(surface->overlayAt, surface->overlay->GetSize());
  if (!old.IsEmpty()) w->RefreshRect(old, false);
  w->RefreshRect(now, false);
}

void HideDrag() {
  Drag& drag = TheDrag();
  CWnd* wnd = CWnd::FromHandle(drag.window);
  wxWindow* w = wnd ? wnd->GetWxWindow() : nullptr;
  if (WindowSurface* surface = w ? FindSurface(w) : nullptr) {
    if (surface->overlay) w->RefreshRect(wxRect(surface->overlayAt, surface->overlay->GetSize()), false);
    surface->overlay.reset();
  }
  drag.window = nullptr;
}

}  // namespace
}  // namespace platform::ui

using platform::ui::ImageListData;

CImageList::CImageList() = default;
CImageList::~CImageList() = default;

BOOL CImageList::Create(int width, int height, UINT flags, int, int) {
  if (width <= 0 || height <= 0) return FALSE;
  data_ = std::make_unique<ImageListData>();
  data_->width = width;
  data_->height = height;
  data_->flags = flags;
  return TRUE;
}

BOOL CImageList::Create(UINT bitmapId, int width, int grow, COLORREF mask) {
  CBitmap strip;
  if (!strip.LoadBitmap(bitmapId)) return FALSE;
  CSize size = strip.GetSize();
  if (!Create(width, size.cy, mask == CLR_NONE ? ILC_COLOR24 : (ILC_COLOR24 | ILC_MASK), 0, grow)) return FALSE;
  return Add(&strip, mask) >= 0;
}

BOOL CImageList::DeleteImageList() {
  bool had = data_ != nullptr;
  data_.reset();
  return had;
}

HGDIOBJ CImageList::GetSafeHandle() const {
  return data_ ? reinterpret_cast<HGDIOBJ>(const_cast<CImageList*>(this)) : nullptr;
}

namespace {

// Cuts the picture into images of the list's size; transparent where transparent says.
template <class Transparent>
int AddCut(ImageListData& list, const wxImage& picture, Transparent transparent) {
  int first = static_cast<int>(list.images.size());
  int count = std::max(1, picture.GetWidth() / list.width);
  for (int i = 0; i < count; ++i) {
    wxImage image(list.width, list.height);
    image.InitAlpha();
    for (int y = 0; y < list.height; ++y)
      for (int x = 0; x < list.width; ++x) {
        int sx = i * list.width + x;
        bool inside = sx < picture.GetWidth() && y < picture.GetHeight();
        unsigned char r = inside ? picture.GetRed(sx, y) : 0;
        unsigned char g = inside ? picture.GetGreen(sx, y) : 0;
        unsigned char b = inside ? picture.GetBlue(sx, y) : 0;
        image.SetRGB(x, y, r, g, b);
        image.SetAlpha(x, y, inside && !transparent(sx, y, RGB(r, g, b)) ? 255 : 0);
      }
    list.images.push_back(image);
  }
  return first;
}

}  // namespace

int CImageList::Add(CBitmap* bitmap, COLORREF mask) {
  if (!data_ || !bitmap || !bitmap->Data()) return -1;
  auto* bits = static_cast<platform::ui::BitmapData*>(bitmap->Data().get());
  wxImage picture = bits->Pixels().Copy();
  bool masked = (data_->flags & ILC_MASK) && mask != CLR_NONE;
  return AddCut(*data_, picture, [&](int, int, COLORREF c) { return masked && c == (mask & 0xFFFFFF); });
}

int CImageList::Add(CBitmap* bitmap, CBitmap* maskBitmap) {
  if (!data_ || !bitmap || !bitmap->Data()) return -1;
  auto* bits = static_cast<platform::ui::BitmapData*>(bitmap->Data().get());
  wxImage picture = bits->Pixels().Copy();
  wxImage mask;
  if (maskBitmap && maskBitmap->Data())
    mask = static_cast<platform::ui::BitmapData*>(maskBitmap->Data().get())->Pixels().Copy();
  return AddCut(*data_, picture, [&](int x, int y, COLORREF) {
    return mask.IsOk() && x < mask.GetWidth() && y < mask.GetHeight() && mask.GetRed(x, y) > 127;
  });
}

int CImageList::Add(HICON icon) {
  const wxImage* image = platform::ui::IconImage(icon);
  if (!data_ || !image) return -1;
  wxImage scaled = image->GetWidth() == data_->width && image->GetHeight() == data_->height
                       ? *image
                       : image->Scale(data_->width, data_->height, wxIMAGE_QUALITY_NEAREST);
  if (!scaled.HasAlpha()) scaled.InitAlpha();
  data_->images.push_back(scaled);
  return static_cast<int>(data_->images.size()) - 1;
}

BOOL CImageList::Replace(int index, HICON icon) {
  if (!data_ || index < 0 || index >= GetImageCount()) return FALSE;
  int added = Add(icon);
  if (added < 0) return FALSE;
  data_->images[static_cast<size_t>(index)] = data_->images.back();
  data_->images.pop_back();
  return TRUE;
}

BOOL CImageList::Remove(int index) {
  if (!data_) return FALSE;
  if (index == -1) {
    data_->images.clear();
    return TRUE;
  }
  if (index < 0 || index >= GetImageCount()) return FALSE;
  data_->images.erase(data_->images.begin() + index);
  return TRUE;
}

int CImageList::GetImageCount() const { return data_ ? static_cast<int>(data_->images.size()) : 0; }

CSize CImageList::GetImageSize() const { return data_ ? CSize(data_->width, data_->height) : CSize(); }

BOOL CImageList::Draw(CDC* dc, int index, POINT p, UINT) {
  if (!dc || !data_ || index < 0 || index >= GetImageCount()) return FALSE;
  HICON icon = platform::ui::MakeIcon(data_->images[static_cast<size_t>(index)]);
  BOOL ok = dc->DrawIcon(p.x, p.y, icon);
  DestroyIcon(icon);
  return ok;
}

HICON CImageList::ExtractIcon(int index) {
  if (!data_ || index < 0 || index >= GetImageCount()) return nullptr;
  return platform::ui::MakeIcon(data_->images[static_cast<size_t>(index)]);
}

BOOL CImageList::BeginDrag(int index, CPoint hotSpot) {
  if (!data_ || index < 0 || index >= GetImageCount()) return FALSE;
  auto& drag = platform::ui::TheDrag();
  drag.image = data_->images[static_cast<size_t>(index)];
  drag.hotSpot = wxPoint(hotSpot.x, hotSpot.y);
  drag.active = true;
  return TRUE;
}

BOOL CImageList::DragEnter(CWnd* window, CPoint point) {
  auto& drag = platform::ui::TheDrag();
  if (!drag.active || !window || !window->GetWxWindow()) return FALSE;
  drag.window = window->m_hWnd;
  platform::ui::ShowDragAt(wxPoint(point.x, point.y));
  return TRUE;
}

BOOL CImageList::DragMove(CPoint point) {
  auto& drag = platform::ui::TheDrag();
  if (!drag.active || !drag.window) return FALSE;
  platform::ui::ShowDragAt(wxPoint(point.x, point.y));
  return TRUE;
}

BOOL CImageList::DragLeave(CWnd*) {
  platform::ui::HideDrag();
  return TRUE;
}

void CImageList::EndDrag() {
  platform::ui::HideDrag();
  platform::ui::TheDrag() = {};
}
