#pragma once

#include <string>

namespace nimbrel {

// The parts of the user's number format that texts need; read from the locale on Windows.
struct NumberFormat {
  std::wstring decimalSeparator = L".";
  std::wstring thousandSeparator = L",";
};

}  // namespace nimbrel
