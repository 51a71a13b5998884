#include "widgets/numeric_edit.h"

#include "platform/sound.h"
#include "widgets/value_slider.h"

CNumericEdit::CNumericEdit() = default;
CNumericEdit::~CNumericEdit() = default;

BOOL CNumericEdit::SetRange(double minimum, double maximum, int ticks, const std::string& format) {
  const int tickFrequency = model_.SetRange(minimum, maximum, ticks, format);
  if (slider_) {
    slider_->SetBuddy(this);
    slider_->SetRange(model_.SliderMinimum(), model_.SliderMaximum());
    slider_->SetTicFreq(tickFrequency);
  }
  return TRUE;
}

bool CNumericEdit::SetValue(double v) {
  const auto text = model_.TextForValue(v);
  if (!text) return false;
  SetText(*text);
  return true;
}

void CNumericEdit::AttachSlider(CWnd* parent, UINT sliderId) {
  wxWindow* control = parent ? parent->GetDlgItemWindow(static_cast<int>(sliderId)) : nullptr;
  if (!control) return;
  slider_ = dynamic_cast<CValueSlider*>(CWnd::FromWxWindow(control));
  if (!slider_) {
    ownSlider_ = std::make_unique<CValueSlider>();
    if (!ownSlider_->SubclassDlgItem(sliderId, parent)) {
      ownSlider_.reset();
      return;
    }
    slider_ = ownSlider_.get();
  }
  slider_->SetBuddy(this);
}

bool CNumericEdit::SetFromSlider(int position) {
  const auto text = model_.TextForSlider(position);
  if (!text) return false;
  fromSlider_ = true;
  SetText(*text);
  fromSlider_ = false;
  return true;
}

void CNumericEdit::OnChar(UINT nChar, UINT nRepCnt, UINT nFlags) {
  if (!model_.AcceptsCharacter(static_cast<char32_t>(nChar))) {
    OnBadInput();
    return;
  }
  CEdit::OnChar(nChar, nRepCnt, nFlags);
}

void CNumericEdit::OnTextUpdate() {
  // The slider already stands where the text it wrote says.
  if (!fromSlider_) OnUpdate();
}

void CNumericEdit::OnUpdate() {
  if (!slider_) return;
  const auto update = model_.TextChanged(GetWindowText().substr(0, 512));
  if (update.clamped) OnBadInput();
  slider_->SetPos(update.position);
  if (update.clamped) {
    fromSlider_ = true;
    SetText(update.rewrittenText);
    fromSlider_ = false;
  }
}

void CNumericEdit::OnBadInput() { MessageBeep(MB_OK); }
