// The cells of a grid. Every cell holds its own text and look (colours, format, font,
// margin); a value left unset (kGridClrDefault, kGridUnset, no font) is taken from the
// grid's default cell for the cell's fixed-row and fixed-column bits. Cells draw on a
// GridCanvas, measure themselves, and open their in-place editor through the grid's host.
//
// Kinds: CGridCell (text, edited in a text box), CGridCellCheck (check box toggled by a
// tap), CGridCellCombo (drop-down list), CGridCellColor (colour and fill pattern of a
// feature, edited in the area design dialog), CGridCellListCtrlIcon (one of 24 symbols).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "widgets/core/grid_types.h"

class GridCore;
class CGridDefaultCell;

class CGridCellBase {
 public:
  CGridCellBase() = default;
  CGridCellBase(const CGridCellBase&) = delete;
  CGridCellBase& operator=(const CGridCellBase&) = delete;
  virtual ~CGridCellBase() = default;

  virtual void SetText(const std::string& text) = 0;
  virtual void SetImage(int image) = 0;
  virtual void SetData(LPARAM data) = 0;
  virtual void SetState(UINT state) { m_nState = state; }
  virtual void SetFormat(UINT format) = 0;
  virtual void SetTextClr(COLORREF colour) = 0;
  virtual void SetBackClr(COLORREF colour) = 0;
  virtual void SetFont(const GridFont* font) = 0;
  virtual void SetMargin(UINT margin) = 0;
  virtual void SetGrid(GridCore* grid) = 0;
  virtual void SetCoords(int row, int col) {}

  virtual std::string GetText() const = 0;
  virtual std::string GetTipText() const { return GetText(); }
  virtual int GetImage() const = 0;
  virtual LPARAM GetData() const = 0;
  virtual UINT GetState() const { return m_nState; }
  virtual UINT GetFormat() const = 0;
  virtual COLORREF GetTextClr() const = 0;
  virtual COLORREF GetBackClr() const = 0;
  // The font that applies (own, else the default cell's); null without either.
  virtual const GridFont* GetFont() const = 0;
  virtual UINT GetMargin() const = 0;
  virtual GridCore* GetGrid() const = 0;
  virtual GridInPlaceControl* GetEditWnd() const = 0;
  virtual CGridDefaultCell* GetDefaultCell() const;
  virtual bool IsDefaultFont() const = 0;
  virtual bool IsEditing() const = 0;

  bool IsFocused() const { return GetState() & GVIS_FOCUSED; }
  bool IsFixed() const { return GetState() & GVIS_FIXED; }
  bool IsFixedCol() const { return GetState() & GVIS_FIXEDCOL; }
  bool IsFixedRow() const { return GetState() & GVIS_FIXEDROW; }
  bool IsSelected() const { return GetState() & GVIS_SELECTED; }
  bool IsReadOnly() const { return GetState() & GVIS_READONLY; }
  bool IsModified() const { return GetState() & GVIS_MODIFIED; }
  bool IsDropHighlighted() const { return GetState() & GVIS_DROPHILITED; }

  virtual void CopyFrom(const CGridCellBase& other);
  virtual void Reset();

  virtual BOOL Draw(GridCanvas* canvas, int row, int col, RECT rect, BOOL eraseBackground);
  virtual BOOL GetTextRect(RECT* rect);
  virtual BOOL GetTipTextRect(RECT* rect) { return GetTextRect(rect); }
  // Size of text in the cell's font plus its margins; null canvas: the host's.
  virtual SIZE GetTextExtent(const std::string& text, GridCanvas* canvas = nullptr);
  virtual SIZE GetCellExtent(GridCanvas* canvas);

  virtual BOOL Edit(int row, int col, const RECT& rect, POINT point, UINT id, UINT character) {
    return FALSE;
  }
  virtual BOOL ValidateEdit(const std::string& text) { return TRUE; }
  virtual void EndEdit() {}
  virtual void OnEndEdit() {}
  // Whether editor is this cell's open in-place editor.
  virtual bool IsEditedBy(const GridInPlaceControl* editor) const { return false; }

  virtual void OnMouseOver(POINT point) {}
  virtual void OnClick(POINT pointInCell) {}
  virtual void OnClickDown(POINT pointInCell) {}
  virtual void OnDblClick(POINT pointInCell) {}
  virtual BOOL OnSetCursor() { return TRUE; }

 protected:
  UINT m_nState = 0;
};

class CGridCell : public CGridCellBase {
 public:
  CGridCell() = default;
  ~CGridCell() override;

  void SetText(const std::string& text) override { m_strText = text; }
  void SetImage(int image) override { m_nImage = image; }
  void SetData(LPARAM data) override { m_lParam = data; }
  void SetFormat(UINT format) override { m_nFormat = format; }
  void SetTextClr(COLORREF colour) override { m_crFgClr = colour; }
  void SetBackClr(COLORREF colour) override { m_crBkClr = colour; }
  void SetFont(const GridFont* font) override;
  void SetMargin(UINT margin) override { m_nMargin = margin; }
  void SetGrid(GridCore* grid) override { m_pGrid = grid; }

  std::string GetText() const override { return m_strText; }
  int GetImage() const override { return m_nImage; }
  LPARAM GetData() const override { return m_lParam; }
  UINT GetFormat() const override;
  COLORREF GetTextClr() const override { return m_crFgClr; }
  COLORREF GetBackClr() const override { return m_crBkClr; }
  const GridFont* GetFont() const override;
  UINT GetMargin() const override;
  GridCore* GetGrid() const override { return m_pGrid; }
  GridInPlaceControl* GetEditWnd() const override { return m_pEditWnd; }
  bool IsDefaultFont() const override { return !m_plfFont; }
  bool IsEditing() const override { return m_bEditing; }

  void Reset() override;
  BOOL Edit(int row, int col, const RECT& rect, POINT point, UINT id, UINT character) override;
  void EndEdit() override;
  void OnEndEdit() override;
  bool IsEditedBy(const GridInPlaceControl* editor) const override {
    return m_bEditing && editor && m_pEditWnd == editor;
  }

 protected:
  std::string m_strText;
  LPARAM m_lParam = 0;
  int m_nImage = -1;
  UINT m_nFormat = kGridUnset;
  COLORREF m_crFgClr = kGridClrDefault;
  COLORREF m_crBkClr = kGridClrDefault;
  std::unique_ptr<GridFont> m_plfFont;
  UINT m_nMargin = kGridUnset;
  bool m_bEditing = false;
  GridCore* m_pGrid = nullptr;
  GridInPlaceControl* m_pEditWnd = nullptr;
};

// What cells of one kind of position (normal, fixed row, fixed column, corner) leave unset,
// plus the default row height and column width.
class CGridDefaultCell : public CGridCell {
 public:
  CGridDefaultCell();
  void SetData(LPARAM) override {}
  void SetState(UINT) override {}
  UINT GetState() const override { return m_nState | GVIS_READONLY; }
  // Keeps the font and measures the default sizes with it on canvas (null: fixed sizes).
  void SetFont(const GridFont* font) override;
  void Measure(GridCanvas* canvas);
  const GridFont* GetFont() const override { return &m_lfFont; }
  UINT GetFormat() const override { return m_nFormat; }
  UINT GetMargin() const override { return m_nMargin; }
  CGridDefaultCell* GetDefaultCell() const override { return nullptr; }
  int GetWidth() const { return m_Size.cx; }
  int GetHeight() const { return m_Size.cy; }
  void SetWidth(int width) { m_Size.cx = width; }
  void SetHeight(int height) { m_Size.cy = height; }

 private:
  GridFont m_lfFont;
  SIZE m_Size{40, 16};
};

class CGridCellCheck : public CGridCell {
 public:
  BOOL SetCheck(BOOL checked = TRUE);  // previous value
  BOOL GetCheck() const { return m_bChecked; }
  RECT GetCheckPlacement() const;

  BOOL Draw(GridCanvas* canvas, int row, int col, RECT rect, BOOL eraseBackground) override;
  BOOL GetTextRect(RECT* rect) override;
  SIZE GetCellExtent(GridCanvas* canvas) override;
  void OnClick(POINT pointInCell) override;

 private:
  int BoxSide() const;
  BOOL m_bChecked = FALSE;
  RECT m_Rect{};
};

class CGridCellCombo : public CGridCell {
 public:
  void SetOptions(const std::vector<std::string>& options) { m_Strings = options; }
  const std::vector<std::string>& GetOptions() const { return m_Strings; }
  void SetStyle(int style) { m_dwStyle = style; }
  int GetStyle() const { return m_dwStyle; }

  GridInPlaceControl* GetEditWnd() const override;
  SIZE GetCellExtent(GridCanvas* canvas) override;
  BOOL Edit(int row, int col, const RECT& rect, POINT point, UINT id, UINT character) override;

 private:
  std::vector<std::string> m_Strings;
  int m_dwStyle = 2;
};

class CGridCellColor : public CGridCell {
 public:
  COLORREF m_color = 0;
  int m_pattern = 0;  // 0 solid .. 5 rising diagonal, 6 hollow, -1 none
  int m_tipo = 5;     // feature type code of the row

  BOOL Draw(GridCanvas* canvas, int row, int col, RECT rect, BOOL eraseBackground) override;
  BOOL Edit(int row, int col, const RECT& rect, POINT point, UINT id, UINT character) override;
  void EndEdit() override { m_bEditing = false; }
};

class CGridCellListCtrlIcon : public CGridCell {
 public:
  static constexpr int kIconCount = 24;
  static constexpr int kIconSize = 16;
  int m_icon = -1;
  std::vector<std::string> m_options;

  BOOL Draw(GridCanvas* canvas, int row, int col, RECT rect, BOOL eraseBackground) override;
  SIZE GetCellExtent(GridCanvas* canvas) override;
  BOOL Edit(int row, int col, const RECT& rect, POINT point, UINT id, UINT character) override;
  // The icon list ended: store the chosen item (-1 keeps the icon).
  void ChooseIcon(int item);
};

// A factory of cells, standing for a runtime class.
using GridCellFactory = CGridCellBase* (*)();
template <class T>
CGridCellBase* CreateGridCell() {
  return new T;
}
