// The process snapshot against Wine's real processes.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/unique_resource_win.h"
#include "processes/process_snapshot_win.h"
#include "win/test_paths_win.h"

namespace nimbrel {
namespace {

TEST(ProcessSnapshot, ListsAStartedProcessWithPathAndWorkingSet) {
  // Notepad, hidden, idling in its message loop.
  wchar_t system[MAX_PATH] = {};
  ::GetSystemDirectoryW(system, MAX_PATH);
  std::wstring exe = std::wstring(system) + L"\\notepad.exe";
  std::wstring command = L"\"" + exe + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(
      ::CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  UniqueHandle process(pi.hProcess);
  UniqueHandle thread(pi.hThread);
  ::WaitForInputIdle(pi.hProcess, 2000);
  ::Sleep(300);

  TProcessList list;
  RefreshProcessList(list);
  ::TerminateProcess(pi.hProcess, 0);

  ASSERT_GT(list.Count(), 3);
  bool found = false;
  for (int i = 0; i < list.Count(); ++i) {
    TProcessRec rec = list.GetItem(i);
    EXPECT_NE(rec.ProcessID, 0u) << "the idle pseudo-process is listed";
    if (rec.ProcessID != pi.dwProcessId) continue;
    found = true;
    EXPECT_EQ(_wcsicmp(rec.ExeFile.c_str(), L"notepad.exe"), 0) << "exe file";
    EXPECT_EQ(_wcsicmp(rec.FullPath.c_str(), exe.c_str()), 0) << "full path";
    EXPECT_GT(rec.WorkingSet, 0u);
    EXPECT_GT(rec.StartTime, 40000.0) << "a creation time after 2009 as days since 1899-12-30";
    EXPECT_EQ(rec.ParentProcessID, ::GetCurrentProcessId());
  }
  EXPECT_TRUE(found) << "the started process is not in the snapshot";
}

TEST(ProcessSnapshot, OwnProcessHasAnOwnerAndSortingPutsTheLargestFirst) {
  TProcessList list;
  RefreshProcessList(list);
  list.SortByWorkingSet();
  ASSERT_GT(list.Count(), 1);
  for (int i = 1; i < list.Count(); ++i)
    EXPECT_GE(list.GetItem(i - 1).WorkingSet, list.GetItem(i).WorkingSet) << "at " << i;
  std::wstring user, domain;
  EXPECT_TRUE(GetProcessOwner(::GetCurrentProcessId(), user, domain));
  EXPECT_FALSE(user.empty());
}

TEST(ProcessSnapshot, VanishedProcessGetsTheDefaults) {
  // An id no process has: every look-up fails quietly.
  const DWORD none = 0xFFFFFFF0u;
  EXPECT_EQ(GetProcessPath(none), L"");
  EXPECT_EQ(GetProcessMemory(none, 0), 0u);
  EXPECT_EQ(GetProcessStartTime(none), 0.0);
  std::wstring user = L"x", domain = L"y";
  EXPECT_FALSE(GetProcessOwner(none, user, domain));
  EXPECT_EQ(user, L"x");
}

}  // namespace
}  // namespace nimbrel
