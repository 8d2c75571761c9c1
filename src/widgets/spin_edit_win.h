#pragma once
// TSpinEdit: an EDIT of a dialog template with an up-down control made as its buddy; the value is an
// int within a range, moved by a step with the arrows and the up and down keys.
#include <windows.h>

#include <string>

#include "widgets/spin_value.h"

namespace nimbrel {

class TSpinEdit {
 public:
  // typeable=false makes the edit read-only; the arrows and the up and down keys still change the value.
  void Attach(HWND edit, int minValue, int maxValue, int step, bool typeable);
  // The value is brought into the new range. maxValue below minValue is taken as minValue.
  void SetRange(int minValue, int maxValue);
  [[nodiscard]] int MinValue() const { return min_; }
  [[nodiscard]] int MaxValue() const { return max_; }
  // Clamped to the range.
  void SetValue(int value);
  // The edit's text read with SpinValueFromText.
  [[nodiscard]] int Value() const;
  // For EN_KILLFOCUS of the edit: the edit shows the value it delivers.
  void Normalize();

  [[nodiscard]] HWND Edit() const { return edit_; }
  [[nodiscard]] HWND UpDown() const { return upDown_; }

 private:
  [[nodiscard]] std::wstring Text() const;

  HWND edit_ = nullptr;
  // A child of the dialog: the dialog destroys it with its other controls.
  HWND upDown_ = nullptr;
  int min_ = 0;
  int max_ = 100;
};

}  // namespace nimbrel
