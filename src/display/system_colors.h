#pragma once

#include <array>

#include "display/tray_picture.h"
#include "settings/color_text.h"

namespace nimbrel {

// The current values of the Windows system colours (GetSysColor on Windows).
class SystemColors {
 public:
  virtual ~SystemColors() = default;
  // index 0..24; any other index gives black, as GetSysColor does.
  virtual Rgb Resolve(int index) const = 0;
};

// -1 gives automaticDefault, a system colour its current value, anything else its RGB bytes.
Rgb ResolveColor(ColorValue value, Rgb automaticDefault, const SystemColors& system);

// The classic Windows scheme, fixed: for tests and for tools that run without Windows.
class TableSystemColors : public SystemColors {
 public:
  using Table = std::array<Rgb, kSystemColorCount>;

  TableSystemColors();
  explicit TableSystemColors(const Table& table) : table_(table) {}

  Rgb Resolve(int index) const override;
  void Set(int index, Rgb value);

  static const Table& Classic();

 private:
  Table table_;
};

}  // namespace nimbrel
