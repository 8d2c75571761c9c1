#include "display/byte_size.h"

namespace nimbrel {
namespace {

constexpr std::uint64_t kKilobyte = 1024;
constexpr std::uint64_t kMegabyte = 1024 * kKilobyte;
constexpr std::uint64_t kGigabyte = 1024 * kMegabyte;

// bytes / divisor rounded half away from zero to `decimals` places, in integers so that the whole
// 64-bit range is exact: the remainder is below the divisor (at most 2^30), so remainder * 100 fits.
std::wstring ScaledNumber(std::uint64_t bytes, std::uint64_t divisor, int decimals,
                          const NumberFormat& format) {
  const std::uint64_t scale = decimals == 2 ? 100 : 1;
  std::uint64_t whole = bytes / divisor;
  const std::uint64_t remainder = bytes % divisor;
  std::uint64_t fraction = (remainder * scale * 2 + divisor) / (divisor * 2);
  if (fraction == scale) {
    ++whole;
    fraction = 0;
  }
  std::wstring text = std::to_wstring(whole);
  if (fraction != 0) {
    text += format.decimalSeparator;
    text += static_cast<wchar_t>(L'0' + fraction / 10);
    if (fraction % 10 != 0) text += static_cast<wchar_t>(L'0' + fraction % 10);
  }
  return text;
}

}  // namespace

std::wstring FormatByteSize(std::uint64_t bytes, const NumberFormat& format) {
  if (bytes > kGigabyte) return ScaledNumber(bytes, kGigabyte, 2, format) + L" GB";
  if (bytes > kMegabyte) return ScaledNumber(bytes, kMegabyte, 0, format) + L" MB";
  if (bytes > kKilobyte) return ScaledNumber(bytes, kKilobyte, 2, format) + L" KB";
  return std::to_wstring(bytes) + (bytes == 1 ? L" byte" : L" bytes");
}

}  // namespace nimbrel
