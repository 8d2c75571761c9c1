#include "processes/process_snapshot_win.h"

#include <windows.h>

#include <psapi.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <algorithm>
#include <vector>

#include "platform/system_info_win.h"
#include "platform/system_library_win.h"
#include "platform/unique_resource_win.h"

namespace nimbrel {

namespace {

constexpr DWORD kQueryLimitedInformation = 0x1000;

template <typename Fn>
Fn LookUp(const wchar_t* dll, const char* name) {
  HMODULE module = ::GetModuleHandleW(dll);
  if (!module) module = LoadSystemLibrary(dll).release();  // kept for the run, as the look-ups are
  return LibraryFunction<Fn>(module, name);
}

struct Functions {
  using CreateSnapshot = HANDLE(WINAPI*)(DWORD, DWORD);
  using ProcessWalk = BOOL(WINAPI*)(HANDLE, PROCESSENTRY32W*);
  using QueryFullName = BOOL(WINAPI*)(HANDLE, DWORD, LPWSTR, PDWORD);
  using ImageFileName = DWORD(WINAPI*)(HANDLE, LPWSTR, DWORD);
  using ModuleFileNameEx = DWORD(WINAPI*)(HANDLE, HMODULE, LPWSTR, DWORD);
  using MemoryInfo = BOOL(WINAPI*)(HANDLE, PPROCESS_MEMORY_COUNTERS, DWORD);
  using QuerySystem = LONG(WINAPI*)(int, void*, ULONG, ULONG*);

  CreateSnapshot createSnapshot = LookUp<CreateSnapshot>(L"kernel32.dll", "CreateToolhelp32Snapshot");
  ProcessWalk first = LookUp<ProcessWalk>(L"kernel32.dll", "Process32FirstW");
  ProcessWalk next = LookUp<ProcessWalk>(L"kernel32.dll", "Process32NextW");
  QueryFullName queryFullName = LookUp<QueryFullName>(L"kernel32.dll", "QueryFullProcessImageNameW");
  ImageFileName imageFileName =
      Either<ImageFileName>("GetProcessImageFileNameW", "K32GetProcessImageFileNameW");
  ModuleFileNameEx moduleFileNameEx =
      Either<ModuleFileNameEx>("GetModuleFileNameExW", "K32GetModuleFileNameExW");
  MemoryInfo memoryInfo = Either<MemoryInfo>("GetProcessMemoryInfo", "K32GetProcessMemoryInfo");
  QuerySystem querySystem = LookUp<QuerySystem>(L"ntdll.dll", "NtQuerySystemInformation");

  template <typename Fn>
  static Fn Either(const char* psapiName, const char* kernelName) {
    if (auto fn = LookUp<Fn>(L"kernel32.dll", kernelName)) return fn;
    return LookUp<Fn>(L"psapi.dll", psapiName);
  }
};

const Functions& Api() {
  static const Functions functions;
  return functions;
}

UniqueHandle Open(DWORD access, DWORD processId) {
  return UniqueHandle(::OpenProcess(access, FALSE, processId));
}

// The access GetProcessMemory opens a process with: a process it cannot open has working set 0.
DWORD MemoryAccess() { return IsWindowsVistaOrLater() ? kQueryLimitedInformation : PROCESS_ALL_ACCESS; }

// Every process with what one SystemProcessInformation call tells: name, id, parent, threads, base
// priority and working set. False when the system has no such call or refuses it.
bool ListFromSystem(TProcessList& list) {
  if (!Api().querySystem) return false;
  constexpr int kSystemProcessInformation = 5;
  constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);
  // The last size that was enough, remembered so that a later opening asks once.
  static ULONG size = 256 * 1024;
  std::vector<std::uint64_t> buffer;  // 8-byte aligned, as the records are
  LONG status = kInfoLengthMismatch;
  for (int attempt = 0; attempt < 8 && status == kInfoLengthMismatch; ++attempt) {
    buffer.resize(size / sizeof(std::uint64_t) + 1);
    ULONG needed = 0;
    status = Api().querySystem(kSystemProcessInformation, buffer.data(), size, &needed);
    // Processes start between the calls: ask for more than the last answer said.
    if (status == kInfoLengthMismatch) size = std::max(size * 2, needed + 64 * 1024);
  }
  if (status < 0) return false;
  const auto* at = reinterpret_cast<const unsigned char*>(buffer.data());
  const unsigned char* end = at + size;
  for (;;) {
    const auto* info = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(at);
    TProcessRec rec;
    if (info->ImageName.Buffer)
      rec.ExeFile.assign(info->ImageName.Buffer, info->ImageName.Length / sizeof(wchar_t));
    rec.ProcessID = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(info->UniqueProcessId));
    rec.ParentProcessID =
        static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(info->InheritedFromUniqueProcessId));
    rec.Threads = info->NumberOfThreads;
    rec.PriClassBase = info->BasePriority;
    rec.WorkingSet = info->VirtualMemoryCounters.WorkingSetSize;
    list.Add(std::move(rec));
    if (info->NextEntryOffset == 0 || info->NextEntryOffset > static_cast<std::size_t>(end - at)) break;
    at += info->NextEntryOffset;
  }
  return true;
}

// The toolhelp walk: every process with what the walk tells, and what lookUp adds for each real one
// (process 0, the idle process, gets nothing looked up).
void WalkToolhelp(TProcessList& list, void (*lookUp)(TProcessRec&)) {
  if (!Api().createSnapshot || !Api().first || !Api().next) return;
  UniqueFileHandle snapshot(Api().createSnapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Api().first(snapshot.get(), &entry); more; more = Api().next(snapshot.get(), &entry)) {
    TProcessRec rec;
    rec.ExeFile = entry.szExeFile;
    rec.ProcessID = entry.th32ProcessID;
    if (rec.ProcessID != 0) lookUp(rec);
    rec.Usage = entry.cntUsage;
    rec.DefaultHeapID = static_cast<std::uint32_t>(entry.th32DefaultHeapID);
    rec.ModuleID = entry.th32ModuleID;
    rec.Threads = entry.cntThreads;
    rec.ParentProcessID = entry.th32ParentProcessID;
    rec.PriClassBase = entry.pcPriClassBase;
    list.Add(std::move(rec));
    entry.dwSize = sizeof entry;
  }
}

bool IsXpOrLater() {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!::GetVersionExW(&info) || info.dwPlatformId != VER_PLATFORM_WIN32_NT) return false;
#pragma GCC diagnostic pop
  return (info.dwMajorVersion == 5 && info.dwMinorVersion > 0) || info.dwMajorVersion > 5;
}

}  // namespace

namespace {

// The image path of an opened process, as GetProcessPath finds it.
std::wstring PathOfProcess(HANDLE process, bool vista) {
  wchar_t buffer[MAX_PATH] = {};
  if (vista) {
    DWORD size = MAX_PATH;
    if (Api().queryFullName && Api().queryFullName(process, 0, buffer, &size))
      return std::wstring(buffer, size);
    return {};
  }
  if (IsXpOrLater()) {
    if (!Api().imageFileName) return {};
    DWORD n = Api().imageFileName(process, buffer, MAX_PATH);
    if (n == 0) return {};
    return TranslateDevicePath(std::wstring_view(buffer, n),
                               [](wchar_t letter) -> std::optional<std::wstring> {
                                 const wchar_t drive[] = {letter, L':', 0};
                                 wchar_t target[1000] = {};
                                 if (!::QueryDosDeviceW(drive, target, 1000)) return std::nullopt;
                                 return std::wstring(target);
                               });
  }
  if (!Api().moduleFileNameEx) return {};
  DWORD n = Api().moduleFileNameEx(process, nullptr, buffer, MAX_PATH);
  return n ? StripNtPrefix(std::wstring(buffer, n)) : std::wstring();
}

}  // namespace

std::wstring GetProcessPath(DWORD processId) {
  const bool vista = IsWindowsVistaOrLater();
  UniqueHandle process =
      Open(vista ? kQueryLimitedInformation : PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, processId);
  return PathOfProcess(process.get(), vista);
}

bool GetProcessOwner(DWORD processId, std::wstring& userName, std::wstring& domain) {
  UniqueHandle process = Open(PROCESS_QUERY_INFORMATION, processId);
  if (!process) return false;
  HANDLE rawToken = nullptr;
  if (!::OpenProcessToken(process.get(), TOKEN_QUERY, &rawToken)) return false;
  UniqueHandle token(rawToken);
  std::vector<unsigned char> buffer;
  DWORD needed = 0;
  while (!::GetTokenInformation(token.get(), TokenUser, buffer.empty() ? nullptr : buffer.data(),
                                static_cast<DWORD>(buffer.size()), &needed)) {
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed <= buffer.size()) return false;
    buffer.resize(needed);
  }
  PSID sid = reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid;
  DWORD nameLength = 0;
  DWORD domainLength = 0;
  SID_NAME_USE use;
  ::LookupAccountSidW(nullptr, sid, nullptr, &nameLength, nullptr, &domainLength, &use);
  if (nameLength == 0 || domainLength == 0) return false;
  std::wstring name(nameLength, L'\0');
  std::wstring dom(domainLength, L'\0');
  if (!::LookupAccountSidW(nullptr, sid, name.data(), &nameLength, dom.data(), &domainLength, &use))
    return false;
  userName = name.substr(0, name.find(L'\0'));
  domain = dom.substr(0, dom.find(L'\0'));
  return true;
}

double GetProcessStartTime(DWORD processId) {
  UniqueHandle process =
      Open(IsWindowsVistaOrLater() ? kQueryLimitedInformation : PROCESS_ALL_ACCESS, processId);
  if (!process) return 0;
  FILETIME created{}, exited{}, kernel{}, user{};
  if (!::GetProcessTimes(process.get(), &created, &exited, &kernel, &user)) return 0;
  if (created.dwLowDateTime == 0 && created.dwHighDateTime == 0) return 0;
  FILETIME local{};
  if (!::FileTimeToLocalFileTime(&created, &local)) return 0;
  return FileTimeToDateTime((static_cast<std::uint64_t>(local.dwHighDateTime) << 32) | local.dwLowDateTime);
}

std::uint64_t GetProcessMemory(DWORD processId, int memoryUnit) {
  UniqueHandle process = Open(MemoryAccess(), processId);
  if (!process || !Api().memoryInfo) return 0;
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!Api().memoryInfo(process.get(), &counters, sizeof counters)) return 0;
  return ApplyMemoryUnit(counters.WorkingSetSize, memoryUnit);
}

void TakeMenuSnapshot(TProcessList& list, int shown) {
  list.Clear();
  const bool fromSystem = ListFromSystem(list);
  // Without the system call, the toolhelp walk with the working set of each process, the slow way.
  if (!fromSystem)
    WalkToolhelp(list, [](TProcessRec& rec) { rec.WorkingSet = GetProcessMemory(rec.ProcessID, 0); });
  list.DropIdleEntries();
  list.SortByWorkingSet();
  // The system call reports the working set of processes GetProcessMemory cannot open, which the full
  // walk lists with 0, at the end: each shown process is checked, and one that drops out makes room.
  std::vector<std::uint32_t> looked;
  for (bool moved = true; moved;) {
    moved = false;
    for (int i = 0; i < std::min(shown, list.Count()); ++i) {
      TProcessRec& rec = list.At(i);
      if (std::find(looked.begin(), looked.end(), rec.ProcessID) != looked.end()) continue;
      looked.push_back(rec.ProcessID);
      if (IsWindowsVistaOrLater()) {
        // One opening answers both questions: the path and the memory use the same access there.
        UniqueHandle process = Open(kQueryLimitedInformation, rec.ProcessID);
        if (!process && rec.WorkingSet != 0) {
          rec.WorkingSet = 0;
          moved = true;
        }
        rec.FullPath = PathOfProcess(process.get(), true);
        continue;
      }
      if (fromSystem && rec.WorkingSet != 0 && !Open(MemoryAccess(), rec.ProcessID)) {
        rec.WorkingSet = 0;
        moved = true;
      }
      rec.FullPath = GetProcessPath(rec.ProcessID);
    }
    if (moved) list.SortByWorkingSet();
  }
}

void CompleteProcessRecord(TProcessRec& record) {
  if (record.ProcessID == 0) return;
  GetProcessOwner(record.ProcessID, record.UserName, record.Domain);
  record.StartTime = GetProcessStartTime(record.ProcessID);
}

void RefreshProcessList(TProcessList& list) {
  list.Clear();
  WalkToolhelp(list, [](TProcessRec& rec) {
    rec.FullPath = GetProcessPath(rec.ProcessID);
    GetProcessOwner(rec.ProcessID, rec.UserName, rec.Domain);
    rec.StartTime = GetProcessStartTime(rec.ProcessID);
    rec.WorkingSet = GetProcessMemory(rec.ProcessID, 0);
  });
  list.DropIdleEntries();
}

}  // namespace nimbrel
