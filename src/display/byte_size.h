#pragma once

#include <cstdint>
#include <string>

#include "platform/number_format.h"

namespace nimbrel {

// Size notation of the tooltip and the process menu: "#.## GB" above 1 GiB, "# MB" above 1 MiB,
// "#.## KB" above 1 KiB, else whole bytes ("1 byte", "0 bytes"). Each boundary belongs to the smaller
// unit, so exactly 1 GiB prints as "1024 MB". At most two decimals, trailing zeros dropped, no
// thousands separator, halves rounded away from zero.
std::wstring FormatByteSize(std::uint64_t bytes, const NumberFormat& format);

}  // namespace nimbrel
