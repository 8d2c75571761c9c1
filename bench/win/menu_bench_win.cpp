// Opening the tray menu under load: the snapshot, the sort and the process items with their icons and
// version texts, with 50 extra processes running. Each part is timed on its own so the report can say
// what dominates: the full walk with every look-up, and what the menu does (one listing, the shown
// processes' look-ups, icons and descriptions from the cache of earlier openings).
#include <windows.h>

#include <shellapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/win/bench_clock_win.h"
#include "bench/win/extra_processes_win.h"
#include "platform/unique_resource_win.h"
#include "platform/version_info_win.h"
#include "processes/menu_images_win.h"
#include "processes/process_snapshot_win.h"
#include "processes/tray_menu.h"

int main(int argc, char** argv) {
  using namespace nimbrel;
  const int extra = argc > 1 ? std::atoi(argv[1]) : 50;
  ExtraProcesses started;
  StartHiddenNotepads(extra, started);

  TProcessList list;
  RefreshProcessList(list);
  const int count = list.Count();
  const int rounds = 5;
  double snapshot = MedianMilliseconds(rounds, [&] { RefreshProcessList(list); });
  double enumerate = MedianMilliseconds(rounds, [&] {
    // The walk alone, without the per-process look-ups.
    UniqueFileHandle s(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W e{};
    e.dwSize = sizeof e;
    for (BOOL more = ::Process32FirstW(s.get(), &e); more; more = ::Process32NextW(s.get(), &e))
      e.dwSize = sizeof e;
  });
  std::vector<DWORD> ids;
  for (int i = 0; i < list.Count(); ++i) ids.push_back(list.GetItem(i).ProcessID);
  double path = MedianMilliseconds(rounds, [&] {
    for (DWORD id : ids) (void)GetProcessPath(id);
  });
  double owner = MedianMilliseconds(rounds, [&] {
    std::wstring u, d;
    for (DWORD id : ids) GetProcessOwner(id, u, d);
  });
  double start = MedianMilliseconds(rounds, [&] {
    for (DWORD id : ids) (void)GetProcessStartTime(id);
  });
  double memory = MedianMilliseconds(rounds, [&] {
    for (DWORD id : ids) (void)GetProcessMemory(id, 0);
  });
  list.SortByWorkingSet();
  double sort = MedianMilliseconds(rounds, [&] { list.SortByWorkingSet(); });

  Settings settings = DefaultSettings(10);
  settings.ShowNameInsteadOfModule = true;
  NumberFormat format;
  ProcessItemServices services;
  services.fileDescription = [](const std::wstring& p) { return ReadVersionStrings(p).description; };
  services.extractSmallIcon = [](const std::wstring& p) -> std::uintptr_t {
    HICON large = nullptr, small = nullptr;
    if (p.empty() || ::ExtractIconExW(p.c_str(), 0, &large, &small, 1) != 2) return 0;
    UniqueIcon dropLarge(large);
    return reinterpret_cast<std::uintptr_t>(small);
  };
  services.destroyIcon = [](std::uintptr_t i) { UniqueIcon(reinterpret_cast<HICON>(i)); };
  services.makeClickHandler = [](const TMenuItemEx&) { return std::function<void()>([] {}); };
  Menu menu;
  BuildFixedItems(menu);
  double items = MedianMilliseconds(
      rounds, [&] { RebuildProcessItems(menu, list, settings, 16ull << 30, format, services); });
  RemoveProcessItems(menu, services.destroyIcon);
  double whole = MedianMilliseconds(rounds, [&] {
    RebuildTrayMenu(
        menu, settings,
        [] {
          TProcessList l;
          RefreshProcessList(l);
          l.SortByWorkingSet();
          return l;
        },
        L"内存使用: 1%\r\n物理内存: 1 GB/16 GB", 16ull << 30, format, services);
  });
  RemoveProcessItems(menu, services.destroyIcon);
  double lean = MedianMilliseconds(rounds, [&] {
    TProcessList l;
    TakeMenuSnapshot(l, settings.TopProcessCount);
  });
  MenuImages images;
  double menuWhole = MedianMilliseconds(rounds, [&] {
    RebuildTrayMenu(
        menu, settings,
        [&] {
          TProcessList l;
          TakeMenuSnapshot(l, settings.TopProcessCount);
          return l;
        },
        L"内存使用: 1%\r\n物理内存: 1 GB/16 GB", 16ull << 30, format,
        images.ForOpening([](const TMenuItemEx&) { return std::function<void()>([] {}); }));
  });
  RemoveProcessItems(menu, nullptr);
  started.End();

  std::printf("processes in the snapshot                 %d (%d started)\n", count, extra);
  std::printf("opening the menu (snapshot+sort+items)    %8.1f ms\n", whole);
  std::printf("  snapshot with look-ups                  %8.1f ms\n", snapshot);
  std::printf("    toolhelp walk alone                   %8.1f ms\n", enumerate);
  std::printf("    image paths                           %8.1f ms\n", path);
  std::printf("    owners (token + account)              %8.1f ms\n", owner);
  std::printf("    start times                           %8.1f ms\n", start);
  std::printf("    working sets                          %8.1f ms\n", memory);
  std::printf("  sort                                    %8.3f ms\n", sort);
  std::printf("  10 process items (icons, descriptions)  %8.1f ms\n", items);
  std::printf("the menu's own opening                    %8.1f ms\n", menuWhole);
  std::printf("  its snapshot (listing, shown look-ups)  %8.1f ms\n", lean);
  return 0;
}
