#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace nimbrel {

// "p1.p2.p3.p4" as the About window and the update check show it: p3 follows p2 directly when above 0
// ("1.5.2.0" → "1.52"), p4 above 0 adds " SR<p4>" and, in the long form, " (Service Release <p4>)".
// Anything but four parts of decimal digits gives an empty text.
std::wstring FormatVersionText(std::wstring_view version, bool shortForm);

// The fixed file version (dwFileVersionMS, dwFileVersionLS) as "a.b.c.d", each part a 16-bit word in
// decimal.
std::wstring FormatFileVersion(std::uint32_t ms, std::uint32_t ls);

// The sub-block of a version string: "\StringFileInfo\" + language and code page as "%.4x%.4x" +
// "\" + key. Files that list no translation are read as US English, Western European ("040904E4").
std::wstring VersionStringPath(std::optional<std::pair<std::uint16_t, std::uint16_t>> translation,
                               std::wstring_view key);

}  // namespace nimbrel
