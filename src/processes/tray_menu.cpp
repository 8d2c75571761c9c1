#include "processes/tray_menu.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <utility>

namespace nimbrel {

namespace {

constexpr std::wstring_view kSeparatorCaption = L"-";

std::unique_ptr<MenuItem> OwnerDrawn(std::unique_ptr<MenuItem> item) {
  item->OwnerDraw = true;
  return item;
}

std::unique_ptr<MenuItem> Fixed(const wchar_t* name, const wchar_t* caption, int tag = 0) {
  return OwnerDrawn(MakeMenuItem(name, caption, tag));
}

// ws * 100 / total can need more than 64 bits, so the fraction is worked out by adding the remainder a
// hundred times modulo total: exact for every input, and cheap for ten items.
std::uint64_t RoundedPercent(std::uint64_t ws, std::uint64_t total) {
  if (total == 0) return 0;
  constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
  const std::uint64_t whole = ws / total;
  const std::uint64_t rest = ws % total;
  std::uint64_t carried = 0;  // floor(rest * 100 / total)
  std::uint64_t left = 0;     // rest * 100 mod total
  for (int i = 0; i < 100; ++i) {
    if (left >= total - rest) {
      left -= total - rest;
      ++carried;
    } else {
      left += rest;
    }
  }
  if (whole > (kMax - carried) / 100) return kMax;
  std::uint64_t percent = whole * 100 + carried;
  const std::uint64_t toNext = total - left;
  if ((left > toNext || (left == toNext && percent % 2 == 1)) && percent < kMax) ++percent;
  return percent;
}

void RemoveTagged(Menu& menu, int tag, const std::function<void(std::uintptr_t)>& destroyIcon) {
  for (int i = menu.Count() - 1; i >= 0; --i) {
    if (menu.Item(i).Tag != tag) continue;
    const std::unique_ptr<MenuItem> item = menu.Remove(i);
    if (item->SmallIcon != 0 && destroyIcon) destroyIcon(item->SmallIcon);
  }
}

std::unique_ptr<MenuItem> ProcessItem(const TProcessRec& process, const Settings& settings,
                                      std::uint64_t displayedTotal, const NumberFormat& format,
                                      const ProcessItemServices& services) {
  auto item = OwnerDrawn(MakeMenuItem(L"", process.ExeFile, kProcessItemTag));
  item->ProcessID = process.ProcessID;
  item->ExeFile = process.ExeFile;
  item->FullPath = process.FullPath;
  if (!process.FullPath.empty() && services.extractSmallIcon) {
    item->SmallIcon = services.extractSmallIcon(process.FullPath);
  }
  item->UseDefaultIcon = item->SmallIcon == 0;
  if (settings.ShowNameInsteadOfModule && services.fileDescription) {
    std::wstring description = services.fileDescription(process.FullPath);
    if (!description.empty()) item->Caption = std::move(description);
  }
  item->ValueText = ProcessValueText(process.WorkingSet, displayedTotal, settings.ProcessValueType, format);
  item->Highlight = ProcessHighlight(process.WorkingSet, settings.HighlightProcessAbove);
  if (services.makeClickHandler) item->OnClick = services.makeClickHandler(*item);
  return item;
}

}  // namespace

void BuildFixedItems(Menu& PopupMenu1) {
  PopupMenu1.Add(Fixed(L"LaunchTaskManager1", L"启动任务管理器(&T)", kTaskManagerTag));
  PopupMenu1.Add(Fixed(L"N1", L"-"));
  PopupMenu1.Add(Fixed(L"MemoryDefragmenter1", L"内存碎片整理(&D)"));
  PopupMenu1.Add(Fixed(L"N2", L"-"));
  MenuItem& settings = PopupMenu1.Add(Fixed(L"Settings2", L"设置(&S)"));
  settings.Items.Add(Fixed(L"hemes1", L"主题"));
  settings.Items.Add(Fixed(L"extColor1", L"文本颜色(&C)"));
  settings.Items.Add(Fixed(L"ransparentBackground1", L"透明背景(&T)"));
  settings.Items.Add(Fixed(L"N4", L"-"));
  settings.Items.Add(Fixed(L"Settings1", L"更多设置(&M)"));
  PopupMenu1.Add(Fixed(L"N3", L"-"));
  PopupMenu1.Add(Fixed(L"About1", L"关于(&A)"));
  PopupMenu1.Add(Fixed(L"Close1", L"退出(&E)"));
}

void MarkDefaultItem(Menu& PopupMenu1, int DoubleClickAction) {
  static constexpr std::pair<int, std::wstring_view> kDefaults[] = {
      {0, L"LaunchTaskManager1"}, {1, L"MemoryDefragmenter1"}, {3, L"Settings1"}};
  for (const auto& [action, name] : kDefaults) {
    if (MenuItem* item = PopupMenu1.Find(name)) item->Default = action == DoubleClickAction;
  }
}

std::wstring ProcessValueText(std::uint64_t ws, std::uint64_t displayedTotal, int processValueType,
                              const NumberFormat& format) {
  if (ws == 0) return L"n/a";
  switch (processValueType) {
    case 0:
      return FormatByteSize(ws, format);
    case 1:
      return FormatByteSize(ws, format) + L" (" + std::to_wstring(RoundedPercent(ws, displayedTotal)) + L"%)";
    case 2:
      return std::to_wstring(RoundedPercent(ws, displayedTotal)) + L"%";
    default:
      return {};
  }
}

bool ProcessHighlight(std::uint64_t ws, int highlightProcessAbove) {
  return highlightProcessAbove > 0 && ws > 0 &&
         (ws >> 20) >= static_cast<std::uint64_t>(highlightProcessAbove);
}

std::pair<std::wstring, std::wstring> SplitMemoryLine(std::wstring_view line) {
  const std::size_t colon = line.find(L':');
  if (colon == std::wstring_view::npos) return {std::wstring(line), std::wstring()};
  return {std::wstring(line.substr(0, colon)), std::wstring(line.substr(colon + 1))};
}

std::vector<std::wstring> SplitHintLines(std::wstring_view hint) {
  std::vector<std::wstring> lines;
  std::size_t start = 0;
  while (start < hint.size()) {
    std::size_t end = hint.find_first_of(L"\r\n", start);
    if (end == std::wstring_view::npos) end = hint.size();
    lines.emplace_back(hint.substr(start, end - start));
    start = end;
    if (start < hint.size() && hint[start] == L'\r') ++start;
    if (start < hint.size() && hint[start] == L'\n') ++start;
  }
  return lines;
}

void RemoveProcessItems(Menu& PopupMenu1, const std::function<void(std::uintptr_t icon)>& destroyIcon) {
  RemoveTagged(PopupMenu1, kProcessItemTag, destroyIcon);
}

void RemoveMemoryLines(Menu& PopupMenu1) { RemoveTagged(PopupMenu1, kMemoryLineTag, {}); }

int RebuildProcessItems(Menu& PopupMenu1, const TProcessList& sortedProcesses, const Settings& settings,
                        std::uint64_t displayedTotal, const NumberFormat& format,
                        const ProcessItemServices& services) {
  RemoveProcessItems(PopupMenu1, services.destroyIcon);
  int added = 0;
  for (int i = 0; added < settings.TopProcessCount && i < sortedProcesses.Count(); ++i) {
    auto item = ProcessItem(sortedProcesses.GetItem(i), settings, displayedTotal, format, services);
    const int n1 = PopupMenu1.IndexOf(L"N1");
    PopupMenu1.Insert(n1 < 0 ? PopupMenu1.Count() : n1, std::move(item));
    ++added;
  }
  if (added > 0) {
    PopupMenu1.Insert(std::min(1, PopupMenu1.Count()),
                      OwnerDrawn(MakeMenuItem(L"", std::wstring(kSeparatorCaption), kProcessItemTag)));
  }
  return added;
}

int RebuildMemoryLines(Menu& PopupMenu1, std::wstring_view hint) {
  RemoveMemoryLines(PopupMenu1);
  const std::vector<std::wstring> lines = SplitHintLines(hint);
  // A menu shorter than the fixed items (never the tray menu) takes the lines at its end.
  const auto at = [&PopupMenu1](int index) { return std::min(index, PopupMenu1.Count()); };
  for (std::size_t i = 0; i < lines.size(); ++i) {
    auto [caption, value] = SplitMemoryLine(lines[i]);
    auto item = OwnerDrawn(MakeMenuItem(L"", std::move(caption), kMemoryLineTag));
    item->ValueText = std::move(value);
    item->Enabled = false;
    PopupMenu1.Insert(at(static_cast<int>(i) + 2), std::move(item));
  }
  if (!lines.empty()) {
    PopupMenu1.Insert(at(static_cast<int>(lines.size()) + 2),
                      OwnerDrawn(MakeMenuItem(L"", std::wstring(kSeparatorCaption), kMemoryLineTag)));
  }
  return static_cast<int>(lines.size());
}

void RebuildTrayMenu(Menu& PopupMenu1, const Settings& settings,
                     const std::function<TProcessList()>& takeSnapshot, std::wstring_view hint,
                     std::uint64_t displayedTotal, const NumberFormat& format,
                     const ProcessItemServices& services) {
  if (settings.ShowTopProcess) {
    TProcessList processes = takeSnapshot ? takeSnapshot() : TProcessList();
    processes.SortByWorkingSet();
    RebuildProcessItems(PopupMenu1, processes, settings, displayedTotal, format, services);
  }
  if (settings.ShowMemMenu) RebuildMemoryLines(PopupMenu1, hint);
}

ColorValue GetProcMenuHighlighColor(const Settings& settings, bool automatic) {
  if (automatic || settings.ProcMenuHightlightColor == kAutomaticColor) return kDefaultProcMenuHighlightColor;
  return settings.ProcMenuHightlightColor;
}

}  // namespace nimbrel
