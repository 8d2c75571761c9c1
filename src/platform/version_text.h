#pragma once

#include <string>
#include <string_view>

namespace nimbrel {

// "p1.p2.p3.p4" as the About window and the update check show it: p3 follows p2 directly when above 0
// ("1.5.2.0" → "1.52"), p4 above 0 adds " SR<p4>" and, in the long form, " (Service Release <p4>)".
// Anything but four parts of decimal digits gives an empty text.
std::wstring FormatVersionText(std::wstring_view version, bool shortForm);

}  // namespace nimbrel
