#include "widgets/value_slider.h"

#include "widgets/core/number_edit_rules.h"
#include "widgets/numeric_edit.h"

void CValueSlider::SetRange(int minimum, int maximum, BOOL redraw) {
  minimum_ = minimum;
  maximum_ = maximum;
  CSliderCtrl::SetRange(minimum, maximum, redraw);
}

void CValueSlider::SetPos(int position) {
  position_ = widgets::SliderAxis{minimum_, maximum_, IsVertical() != FALSE}.ToControl(position);
  CSliderCtrl::SetPos(position_);
}

void CValueSlider::OnHScroll(UINT code, UINT position) { Scrolled(code, position); }
void CValueSlider::OnVScroll(UINT code, UINT position) { Scrolled(code, position); }

void CValueSlider::Scrolled(UINT code, UINT position) {
  if (!edit_) return;
  const widgets::SliderAxis axis{minimum_, maximum_, IsVertical() != FALSE};
  const auto value = axis.EditPositionFor(code, static_cast<int>(position), GetPos());
  if (!value) return;
  position_ = axis.ToControl(*value);
  edit_->SetFromSlider(*value);
}
