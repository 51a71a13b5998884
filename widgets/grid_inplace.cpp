#include "widgets/grid_inplace.h"

#include <algorithm>
#include <vector>

#include "platform/ui/controls.h"
#include "widgets/core/grid_edit_rules.h"
#include "widgets/grid_ctrl.h"

const std::vector<HICON>& GridSymbolIcons();

namespace {

enum class EditorKind { Text, List, Icons };

class InPlaceEditor : public GridInPlaceControl {
 public:
  InPlaceEditor(EditorKind kind, CGridCtrl* grid, int row, int col, std::string initial,
                UINT character)
      : kind_(kind),
        grid_(grid),
        row_(row),
        col_(col),
        initial_(std::move(initial)),
        exitOnNavigation_(kind == EditorKind::Text && GridEditStartedByTyping(character)) {}

  bool Open(CInPlaceControl::Kind kind, const RECT& rect, int align) {
    CInPlaceControl::Hooks hooks;
    hooks.keyDown = [this](UINT key, UINT modifiers) { return OnKeyDown(key, modifiers); };
    hooks.character = [this](UINT ch) { return OnCharacter(ch); };
    // The symbol list stays open when the focus leaves it; the other editors end.
    if (kind_ != EditorKind::Icons) hooks.focusLost = [this] { Finish(); };
    hooks.chosen = [this](int item) { OnChosen(item); };
    hooks.gone = [this] { OnGone(); };
    control_ = CInPlaceControl::Create(kind, grid_, rect, align, std::move(hooks));
    return control_ != nullptr;
  }

  void Start(UINT character) {
    control_->Focus();
    if (kind_ == EditorKind::Icons) return;
    GridEditStart start = GridEditStartFor(character);
    if (start.selectAll) {
      control_->SetSel(0, -1);
    } else {
      int end = control_->GetTextLength();
      control_->SetSel(end, end);
    }
    if (start.deliver) control_->TypeChar(character);
  }

  void EndEdit() override { Finish(); }
  void PassChar(UINT character) override {
    if (control_ && !ended_) control_->TypeChar(character);
  }
  void Abandon() override {
    if (ended_) return;  // already reporting; it frees itself afterwards
    ended_ = true;
    if (control_) control_->Close();
    delete this;
  }

  CInPlaceControl* control_ = nullptr;
  int iconCurrent_ = -1;

 private:
  bool OnKeyDown(UINT key, UINT modifiers) {
    bool ctrl = (modifiers & MK_CONTROL) != 0;
    bool ends = kind_ == EditorKind::Text ? GridEditEndsOnKey(key, exitOnNavigation_, ctrl)
                                          : (ctrl && GridEditEndsOnKey(key, false, true));
    // Up and down have nothing to do in a one-line edit; the toolkit would move the keyboard
    // focus out of it with them (ending the edit and leaving the focus off the grid).
    if (!ends) return kind_ == EditorKind::Text && (key == gridkey::kUp || key == gridkey::kDown);
    lastKey_ = key;
    Finish();
    return true;
  }

  bool OnCharacter(UINT ch) {
    switch (GridEditCharAction(ch)) {
      case GridEditChar::End:
        lastKey_ = ch;
        Finish();
        return true;
      case GridEditChar::Cancel:
        if (kind_ != EditorKind::Icons) control_->SetText(initial_);
        lastKey_ = ch;
        cancelled_ = true;
        Finish();
        return true;
      case GridEditChar::Type:
        if (kind_ == EditorKind::Text) Grow(ch);
        return false;
    }
    return false;
  }

  // The edit widens to the right while the text (and two spaces) no longer fits, up to
  // the grid's client edge.
  void Grow(UINT ch) {
    if (ch < 32) return;
    std::string text = control_->GetText();
    text.push_back(static_cast<char>(ch < 128 ? ch : 'W'));
    RECT rect = control_->GetRect();
    int wanted = control_->TextWidth(text + "  ");
    if (wanted <= rect.right - rect.left) return;
    RECT client;
    grid_->GetClientRect(&client);
    rect.right = std::min<LONG>(client.right, rect.left + wanted);
    control_->Move(rect);
  }

  // A combo's choice only fills its field: the edit ends on Enter, Tab or focus loss.
  void OnChosen(int item) {
    if (kind_ == EditorKind::Icons) {
      iconCurrent_ = item;
      Finish();
    }
  }

  // The control's window went with the grid's before the edit ended: the cell forgets
  // this editor and nothing is stored.
  void OnGone() {
    if (ended_) return;
    ended_ = true;
    control_ = nullptr;
    if (CGridCellBase* cell = grid_->GetCell(row_, col_); cell && cell->IsEditedBy(this)) {
      cell->OnEndEdit();
    }
    delete this;
  }

 public:
  void Finish() {
    // One end at a time in the whole program: closing moves the focus, which would end
    // the edit again.
    static bool ending = false;
    if (ended_ || ending || !control_) return;
    ending = true;
    ended_ = true;
    GridDispInfo info;
    info.hdr.hwndFrom = nullptr;
    info.hdr.idFrom = kGridInPlaceId;
    info.hdr.code = static_cast<UINT>(GVN_ENDLABELEDIT);
    info.item.row = row_;
    info.item.col = col_;
    info.item.mask = 5;
    info.item.lParam = static_cast<LPARAM>(lastKey_);
    if (kind_ == EditorKind::Icons) {
      int chosen = iconCurrent_ >= 0 ? iconCurrent_ : (cancelled_ ? -1 : control_->GetCurSel());
      CGridCellBase* cell = grid_->GetCell(row_, col_);
      auto* icons = cell && cell->IsEditedBy(this) ? dynamic_cast<CGridCellListCtrlIcon*>(cell)
                                                   : nullptr;
      if (icons) icons->ChooseIcon(chosen);
    } else {
      info.item.strText = control_->GetText();
    }
    // The keys go back to the grid when the edit ends by a key or while the control still
    // has the focus; a focus that went elsewhere stays there.
    bool focusBack = lastKey_ != 0 || control_->HasFocus();
    control_->Close();
    control_ = nullptr;
    if (focusBack) grid_->CWnd::SetFocus();
    grid_->SendMessage(WM_NOTIFY, kGridInPlaceId, reinterpret_cast<LPARAM>(&info));
    ending = false;
    delete this;  // the cell forgot this editor while the grid stored the result
  }

 private:
  EditorKind kind_;
  CGridCtrl* grid_;
  int row_;
  int col_;
  std::string initial_;
  bool exitOnNavigation_;
  UINT lastKey_ = 0;
  bool ended_ = false;
  bool cancelled_ = false;
};

// Cell rectangles include their right and bottom pixels; controls take them exclusive.
RECT ControlRect(const RECT& cell) { return RECT{cell.left, cell.top, cell.right + 1, cell.bottom + 1}; }

int AlignOf(UINT format) {
  if (format & gridfmt::kRight) return 2;
  if (format & gridfmt::kCenter) return 1;
  return 0;
}

}  // namespace

GridInPlaceControl* GridInPlaceEditor::OpenText(CGridCtrl* grid, int row, int col,
                                                const RECT& rect, UINT format,
                                                const std::string& text, UINT character) {
  auto* editor = new InPlaceEditor(EditorKind::Text, grid, row, col, text, character);
  if (!editor->Open(CInPlaceControl::Kind::Edit, ControlRect(rect), AlignOf(format))) {
    delete editor;
    return nullptr;
  }
  editor->control_->SetText(text);
  editor->Start(character);
  return editor;
}

GridInPlaceControl* GridInPlaceEditor::OpenList(CGridCtrl* grid, const GridListEditSpec& spec) {
  auto* editor = new InPlaceEditor(EditorKind::List, grid, spec.row, spec.col, spec.text,
                                   spec.character);
  bool listOnly = spec.comboStyle == 3;
  auto kind = listOnly ? CInPlaceControl::Kind::DropList : CInPlaceControl::Kind::DropDown;
  if (!editor->Open(kind, ControlRect(*spec.rect), 0)) {
    delete editor;
    return nullptr;
  }
  CInPlaceControl* control = editor->control_;
  control->SetColours(spec.textColour, spec.backColour);
  const auto* options = static_cast<const std::vector<std::string>*>(spec.options);
  int match = -1;
  if (options) {
    for (size_t i = 0; i < options->size(); ++i) {
      control->AddItem((*options)[i]);
      if (match < 0 && (*options)[i].compare(0, spec.text.size(), spec.text) == 0) {
        match = static_cast<int>(i);
      }
    }
  }
  if (match >= 0) {
    control->SetCurSel(match);
  } else {
    control->SetText(spec.text);
  }
  // Room for four rows of the list below the field, dropped at once.
  RECT cell = ControlRect(*spec.rect);
  control->SetDropHeight(4 * (cell.bottom - cell.top) + GetSystemMetrics(SM_CYHSCROLL));
  editor->Start(listOnly ? gridkey::kLButton : spec.character);
  control->ShowDropDown();
  return editor;
}

GridInPlaceControl* GridInPlaceEditor::OpenIcons(CGridCtrl* grid, CGridCellListCtrlIcon* cell,
                                                 int row, int col, const RECT& rect) {
  auto* editor = new InPlaceEditor(EditorKind::Icons, grid, row, col, std::string(), 0);
  // Room for four rows of symbols below the cell.
  RECT area = ControlRect(rect);
  int cellHeight = area.bottom - area.top;
  area.bottom += 4 * cellHeight + GetSystemMetrics(SM_CYHSCROLL);
  if (!editor->Open(CInPlaceControl::Kind::ItemList, area, 0)) {
    delete editor;
    return nullptr;
  }
  const auto& icons = GridSymbolIcons();
  for (size_t i = 0; i < icons.size(); ++i) {
    editor->control_->AddImageItem(icons[i], std::to_string(i + 1));
  }
  if (cell) editor->control_->EnsureVisible(cell->m_icon);
  editor->Start(0);
  return editor;
}
