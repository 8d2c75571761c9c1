// The process snapshot against Wine's real processes.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "platform/unique_resource_win.h"
#include "processes/menu_images_win.h"
#include "processes/process_snapshot_win.h"
#include "processes/tray_menu.h"
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

// Three processes with the largest working sets of the session lead the menu; the menu's snapshot gives
// them as the full walk does, and a process that ends between the list and the look-ups keeps the
// defaults.
TEST(ProcessSnapshot, MenuSnapshotGivesTheShownRecordsOfTheFullWalk) {
  testing::Helper large(L"hold-memory 300"), middle(L"hold-memory 250"), small(L"hold-memory 200");
  ASSERT_TRUE(large.process && middle.process && small.process);

  TProcessList lean, full;
  TakeMenuSnapshot(lean, 3);
  RefreshProcessList(full);
  full.SortByWorkingSet();
  ASSERT_GE(lean.Count(), 3);
  EXPECT_EQ(lean.Count(), full.Count());
  const DWORD ids[] = {large.id, middle.id, small.id};
  for (int i = 0; i < 3; ++i) {
    TProcessRec got = lean.GetItem(i);
    const TProcessRec want = full.GetItem(i);
    EXPECT_EQ(got.ProcessID, ids[i]) << i;
    ASSERT_EQ(got.ProcessID, want.ProcessID) << i;
    // Both readings of a resting process; the two walks are moments apart.
    EXPECT_NEAR(static_cast<double>(got.WorkingSet), static_cast<double>(want.WorkingSet), 2 << 20) << i;
    EXPECT_TRUE(got.UserName.empty() && got.StartTime == 0) << "looked up although nothing shows it";
    CompleteProcessRecord(got);
    got.WorkingSet = want.WorkingSet;
    EXPECT_EQ(got, want) << i;
  }
  EXPECT_TRUE(lean.GetItem(3).FullPath.empty()) << "a process past the shown ones was opened";

  // Ended after the list was taken: the look-ups find nothing.
  TProcessRec ended = lean.GetItem(2);
  ::TerminateProcess(small.process, 0);
  ::WaitForSingleObject(small.process, 5000);
  ::CloseHandle(std::exchange(small.process, nullptr));  // the last handle: the process object goes
  for (int i = 0; i < 100; ++i) {
    UniqueHandle still(::OpenProcess(SYNCHRONIZE, FALSE, ended.ProcessID));
    if (!still) break;
    ::Sleep(50);
  }
  ended.FullPath = GetProcessPath(ended.ProcessID);
  CompleteProcessRecord(ended);
  EXPECT_EQ(ended.FullPath, L"");
  EXPECT_EQ(ended.UserName, L"");
  EXPECT_EQ(ended.StartTime, 0.0);
  TProcessList after;
  TakeMenuSnapshot(after, 3);
  for (int i = 0; i < after.Count(); ++i) EXPECT_NE(after.GetItem(i).ProcessID, ended.ProcessID);
}

// A thousand openings of the process block, with executables coming and going: the icons held, the
// handles and the cache stay within bounds.
TEST(ProcessSnapshot, AThousandOpeningsKeepTheCountsFlat) {
  MenuImages images;
  Menu menu;
  BuildFixedItems(menu);
  Settings settings = DefaultSettings(10);
  settings.ShowNameInsteadOfModule = true;
  const NumberFormat format;
  wchar_t system[MAX_PATH] = {};
  ::GetSystemDirectoryW(system, MAX_PATH);
  auto open = [&](int round) {
    auto services = images.ForOpening([](const TMenuItemEx&) { return std::function<void()>([] {}); });
    RebuildTrayMenu(
        menu, settings,
        [&] {
          TProcessList list;
          TakeMenuSnapshot(list, settings.TopProcessCount);
          // Stand-ins for executables met once: more than the cache keeps, so that it has to let go.
          TProcessRec passing;
          passing.ProcessID = 1;
          passing.WorkingSet = 1ull << 40;
          passing.FullPath = std::wstring(system) + (round % 2 ? L"\\notepad.exe" : L"\\winver.exe") +
                             std::wstring(static_cast<std::size_t>(round % 97), L' ');
          TProcessList sorted;
          sorted.Add(passing);
          for (int i = 0; i < list.Count(); ++i) sorted.Add(list.GetItem(i));
          return sorted;
        },
        L"", 8ull << 30, format, services);
  };
  for (int round = 0; round < 100; ++round) open(round);  // the cache fills
  const int icons = UniqueIcon::Live();
  DWORD handles = 0;
  ::GetProcessHandleCount(::GetCurrentProcess(), &handles);
  for (int round = 100; round < 1100; ++round) open(round);
  DWORD handlesAfter = 0;
  ::GetProcessHandleCount(::GetCurrentProcess(), &handlesAfter);
  EXPECT_LE(UniqueIcon::Live(), icons + 2);
  EXPECT_LE(handlesAfter, handles + 2);
  EXPECT_LE(images.Size(), 64u + static_cast<std::size_t>(settings.TopProcessCount));
  RemoveProcessItems(menu, nullptr);
  images.Clear();
  EXPECT_LT(UniqueIcon::Live(), icons - 1) << "the cache kept its icons";
}

}  // namespace
}  // namespace nimbrel
