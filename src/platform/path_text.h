#pragma once

#include <string>
#include <string_view>

namespace nimbrel {

// Appends "\" unless the path already ends with one; an empty path stays empty, so that a failed
// folder query does not turn into the root of the current drive.
std::wstring WithTrailingBackslash(std::wstring_view path);

}  // namespace nimbrel
