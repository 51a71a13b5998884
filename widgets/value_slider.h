// CValueSlider: a slider whose moves are written into its linked CNumericEdit (see
// widgets/numeric_edit.h). A vertical slider has its maximum at the top.
#pragma once

#include "platform/ui/controls.h"

class CNumericEdit;

class CValueSlider : public CSliderCtrl {
 public:
  CValueSlider() = default;

  void SetBuddy(CNumericEdit* edit) { edit_ = edit; }
  CNumericEdit* GetBuddy() const { return edit_; }
  void SetRange(int minimum, int maximum, BOOL redraw = TRUE);
  // Puts the thumb at value position p (for a vertical slider counted from the bottom).
  void SetPos(int position);

 protected:
  void OnHScroll(UINT code, UINT position) override;
  void OnVScroll(UINT code, UINT position) override;

 private:
  void Scrolled(UINT code, UINT position);

  CNumericEdit* edit_ = nullptr;
  int minimum_ = 0;
  int maximum_ = 0;
  int position_ = 0x7FFFFFFF;
};
