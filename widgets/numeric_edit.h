// CNumericEdit: an edit that accepts only a class of typed characters and, once given a
// range, holds a decimal value printed with a format and moves a linked CValueSlider.
// CValueSlider: the slider (trackbar) that writes its position back into the edit.
//
//   m_limit.SubclassDlgItem(1117, this);        // in OnInitDialog
//   m_limit.AttachSlider(this, 1116);
//   m_limit.SetRange(0.0, 6.0, 1, "%.1f");
//   m_limit.SetValue(m_hdopLimit);
//
// With a range the slider runs over 0..1000 across min..max (see widgets/core/number_edit_rules.h);
// typing a value outside the range beeps, shows the nearest end and moves the slider there.
// Moving the slider rewrites the text; the text a program sets goes to the slider too when
// it is set with SetValue or SetText (not through the dialog's data exchange).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/ui/controls.h"
#include "widgets/core/number_edit_rules.h"

class CValueSlider;

class CNumericEdit : public CEdit {
 public:
  CNumericEdit();
  ~CNumericEdit() override;

  // Range min..max with tick intervals on the slider and a printf format with one
  // floating-point conversion; from now on only decimal numbers can be typed.
  BOOL SetRange(double minimum, double maximum, int ticks, const std::string& format);
  // FALSE (and the text kept) without a range or with v outside it.
  bool SetValue(double v);
  // The parent's slider with that id becomes the linked slider (a CValueSlider that has
  // already taken the control over is used, else the edit takes it over itself).
  void AttachSlider(CWnd* parent, UINT sliderId);
  // The slider moved to position p; TRUE when that changed the text.
  bool SetFromSlider(int position);

  // Character classes that typing accepts (widgets::kCharsDecimal ...; all at first).
  void SetAllowedChars(std::uint16_t mask) { model_.SetAllowedMask(mask); }
  double GetValue() const { return model_.Value(); }
  CValueSlider* GetSlider() const { return slider_; }

 protected:
  void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags) override;
  // The text changed: a linked slider follows it; values outside the range are put back.
  virtual void OnUpdate();
  // A refused character or a clamped value: the standard beep.
  virtual void OnBadInput();

 private:
  void OnTextUpdate() override;
  void Show(const std::string& text);

  widgets::NumericEditModel model_;
  CValueSlider* slider_ = nullptr;
  std::unique_ptr<CValueSlider> ownSlider_;
  bool fromSlider_ = false;  // the text being set came from the slider
};
