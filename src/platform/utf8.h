#pragma once
// The one conversion between UTF-8 and the wide strings of the program (UTF-16 on Windows, UTF-32 where
// the portable code is tested natively). Never fails: an unpaired surrogate, and a byte that does not
// start a well-formed sequence, become U+FFFD, so stray input never stops a read.
#include <string>
#include <string_view>

namespace nimbrel {

[[nodiscard]] std::string ToUtf8(std::wstring_view text);
[[nodiscard]] std::wstring FromUtf8(std::string_view text);

}  // namespace nimbrel
