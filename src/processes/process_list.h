#pragma once

// One snapshot of the running processes, and the pieces of taking it that do not need the system:
// the sort key, the unit of the working-set value, the translation of native device paths and the
// conversion of process times. The Windows side walks the toolhelp snapshot and fills the records.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nimbrel {

struct TProcessRec {
  std::wstring ExeFile;   // as the enumeration reports it, no folder
  std::wstring FullPath;  // drive-letter form; empty when it cannot be determined
  std::wstring UserName;
  std::wstring Domain;
  double StartTime = 0;  // days since 1899-12-30, local time; 0 when unknown
  // Bytes; 0 when the process cannot be opened. 64 bits wide because a 64-bit process can hold more
  // than 4 GiB, which a 32-bit field would wrap into a small number and sort far down the menu.
  std::uint64_t WorkingSet = 0;
  std::uint32_t Usage = 0;
  std::uint32_t ProcessID = 0;
  std::uint32_t DefaultHeapID = 0;
  std::uint32_t ModuleID = 0;
  std::uint32_t Threads = 0;
  std::uint32_t ParentProcessID = 0;
  std::int32_t PriClassBase = 0;

  bool operator==(const TProcessRec&) const = default;
};

// Negative puts a before b, positive b before a, 0 leaves them unordered.
using ProcessComparer = std::function<int(const TProcessRec& a, const TProcessRec& b)>;

// 1 when b's working set is larger, 0 when equal, -1 otherwise: sorting with it puts the largest first.
int CompareByWorkingSet(const TProcessRec& a, const TProcessRec& b);

class TProcessList {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  // A copy. Throws std::out_of_range("Index out of bounds") for an index outside 0 .. Count() - 1.
  TProcessRec GetItem(int index) const;
  // The record itself, for filling in what a look-up adds; same bounds and exception as GetItem.
  TProcessRec& At(int index);
  // Same bounds and exception as GetItem.
  void Delete(int index);
  void Clear();
  void Add(TProcessRec record);
  // Equal keys keep the order of the snapshot; callers must not rely on that.
  void Sort(const ProcessComparer& comparer);
  void SortByWorkingSet();
  // Removes the idle pseudo-process, which has id 0, wherever the enumeration put it. Dropping simply
  // the first entry would lose a real process on systems that do not list the idle process first (or
  // at all, as Wine does).
  void DropIdleEntries();

 private:
  std::vector<TProcessRec> items_;
};

// The working set in unit 0 bytes, 1 KiB, 2 MiB or 3 GiB (whole units, rounded down); any other
// unit gives 0.
std::uint64_t ApplyMemoryUnit(std::uint64_t bytes, int unit);

// A native image path ("\Device\HarddiskVolume2\Windows\notepad.exe") in drive-letter form
// ("c:\Windows\notepad.exe"). queryDosDevice gives the first target of a drive ('a' .. 'z'), or nullopt
// when the drive is not defined. The drive letter comes out in lower case; a device no drive maps
// (a network redirector, for one) gives an empty text, and so does a path without two backslashes after
// its first character.
std::wstring TranslateDevicePath(
    std::wstring_view nativePath,
    const std::function<std::optional<std::wstring>(wchar_t driveLetter)>& queryDosDevice);

// Removes a leading "\??\" (the object-manager form GetModuleFileNameEx reports for some processes).
std::wstring StripNtPrefix(std::wstring path);

// A local FILETIME (100 ns ticks since 1601-01-01) as days since 1899-12-30, cut to whole milliseconds
// as the system-time round trip does; 0 (no time) stays 0. Before 1899-12-30 the fraction counts back
// from the day like every date-time value of this program (-1.25 is 1899-12-29 06:00).
double FileTimeToDateTime(std::uint64_t localFileTime100ns);

}  // namespace nimbrel
