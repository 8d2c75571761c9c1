#include "processes/process_list.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace nimbrel {

namespace {

void CheckIndex(int index, int count) {
  if (index < 0 || index >= count) throw std::out_of_range("Index out of bounds");
}

// Device names are ASCII; folding only A-Z keeps the comparison independent of the C library's locale.
wchar_t FoldAscii(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

bool EqualIgnoringCase(std::wstring_view a, std::wstring_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) {
           return FoldAscii(x) == FoldAscii(y);
         });
}

}  // namespace

int CompareByWorkingSet(const TProcessRec& a, const TProcessRec& b) {
  if (b.WorkingSet > a.WorkingSet) return 1;
  if (b.WorkingSet == a.WorkingSet) return 0;
  return -1;
}

TProcessRec TProcessList::GetItem(int index) const {
  CheckIndex(index, Count());
  return items_[static_cast<std::size_t>(index)];
}

TProcessRec& TProcessList::At(int index) {
  CheckIndex(index, Count());
  return items_[static_cast<std::size_t>(index)];
}

void TProcessList::Delete(int index) {
  CheckIndex(index, Count());
  items_.erase(items_.begin() + index);
}

void TProcessList::Clear() { items_.clear(); }

void TProcessList::Add(TProcessRec record) { items_.push_back(std::move(record)); }

void TProcessList::Sort(const ProcessComparer& comparer) {
  // Stable, so that a comparer that is not a strict ordering still cannot take the sort out of bounds.
  std::stable_sort(items_.begin(), items_.end(),
                   [&comparer](const TProcessRec& a, const TProcessRec& b) { return comparer(a, b) < 0; });
}

void TProcessList::SortByWorkingSet() { Sort(CompareByWorkingSet); }

void TProcessList::DropIdleEntries() {
  std::erase_if(items_, [](const TProcessRec& record) { return record.ProcessID == 0; });
}

std::uint64_t ApplyMemoryUnit(std::uint64_t bytes, int unit) {
  switch (unit) {
    case 0:
      return bytes;
    case 1:
      return bytes >> 10;
    case 2:
      return bytes >> 20;
    case 3:
      return bytes >> 30;
    default:
      return 0;
  }
}

std::wstring TranslateDevicePath(
    std::wstring_view nativePath,
    const std::function<std::optional<std::wstring>(wchar_t driveLetter)>& queryDosDevice) {
  // The device prefix has two components ("\Device\HarddiskVolume2"); the search starts past the first
  // character so that the leading backslash does not count as the first separator.
  const std::size_t first = nativePath.find(L'\\', 1);
  if (first == std::wstring_view::npos) return {};
  const std::size_t second = nativePath.find(L'\\', first + 1);
  if (second == std::wstring_view::npos) return {};
  const std::wstring_view prefix = nativePath.substr(0, second);
  const std::wstring_view remainder = nativePath.substr(second);
  for (wchar_t letter = L'a'; letter <= L'z'; ++letter) {
    const std::optional<std::wstring> target = queryDosDevice(letter);
    if (target && EqualIgnoringCase(*target, prefix)) {
      std::wstring result{letter, L':'};
      result += remainder;
      return result;
    }
  }
  return {};
}

std::wstring StripNtPrefix(std::wstring path) {
  constexpr std::wstring_view kNtPrefix = L"\\??\\";
  if (path.starts_with(kNtPrefix)) path.erase(0, kNtPrefix.size());
  return path;
}

double FileTimeToDateTime(std::uint64_t localFileTime100ns) {
  if (localFileTime100ns == 0) return 0;
  constexpr std::uint64_t kTicksPerMillisecond = 10000;
  constexpr std::uint64_t kMillisecondsPerDay = 86400000;
  constexpr std::int64_t kDaysFrom1601To1899 = 109205;  // 1601-01-01 .. 1899-12-30
  const std::uint64_t milliseconds = localFileTime100ns / kTicksPerMillisecond;
  const std::int64_t day =
      static_cast<std::int64_t>(milliseconds / kMillisecondsPerDay) - kDaysFrom1601To1899;
  const double time =
      static_cast<double>(milliseconds % kMillisecondsPerDay) / static_cast<double>(kMillisecondsPerDay);
  return day < 0 ? static_cast<double>(day) - time : static_cast<double>(day) + time;
}

}  // namespace nimbrel
