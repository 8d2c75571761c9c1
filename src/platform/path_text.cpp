#include "platform/path_text.h"

namespace nimbrel {

std::wstring WithTrailingBackslash(std::wstring_view path) {
  std::wstring result(path);
  if (!result.empty() && result.back() != L'\\') result += L'\\';
  return result;
}

}  // namespace nimbrel
