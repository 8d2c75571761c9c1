#pragma once

// The tray menu PopupMenu1: its fixed items, the default entry, and the two blocks rebuilt at every
// opening (the processes with the largest working sets, and the lines of the tooltip). What needs the
// system (the snapshot, version resources, icons, the process dialog) comes in through callbacks.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "display/byte_size.h"
#include "platform/menu_model.h"
#include "processes/process_list.h"
#include "settings/color_text.h"
#include "settings/settings.h"

namespace nimbrel {

// Item tags.
inline constexpr int kTaskManagerTag = 97;
inline constexpr int kMemoryLineTag = 98;
inline constexpr int kProcessItemTag = 99;

// RGB 251, 225, 225.
inline constexpr ColorValue kDefaultProcMenuHighlightColor = 0x00E1E1FB;

// Appends the fixed items, every one owner-drawn, with no click handlers: the main window binds those
// by Name. The menu is expected to be empty.
void BuildFixedItems(Menu& PopupMenu1);

// Clears the default mark of LaunchTaskManager1, MemoryDefragmenter1 and Settings1 (in the settings
// submenu), then marks LaunchTaskManager1 for action 0, MemoryDefragmenter1 for 1 and Settings1 for 3.
void MarkDefaultItem(Menu& PopupMenu1, int DoubleClickAction);

// The value a process item shows: "n/a" for a working set of 0 whatever the type; type 0 the size, 1
// the size and " (pct%)", 2 "pct%", any other type nothing. pct is the working set in per cent of
// displayedTotal, rounded to the nearest whole number with halves to even; a total of 0 (no reading
// yet) counts as 0 %.
std::wstring ProcessValueText(std::uint64_t ws, std::uint64_t displayedTotal, int processValueType,
                              const NumberFormat& format);

// Whole MiB of the working set at or above the threshold; a threshold of 0 or below and a working set
// of 0 never highlight.
bool ProcessHighlight(std::uint64_t ws, int highlightProcessAbove);

// Caption and value of a tooltip line, split at its first ":" (dropped); spaces are kept. A line
// without ":" is all caption.
std::pair<std::wstring, std::wstring> SplitMemoryLine(std::wstring_view line);

// The tooltip's lines. Breaks are CR LF, LF, or a lone CR, as the framework's string lists split text;
// a break at the very end starts no further line, and an empty text has no lines.
std::vector<std::wstring> SplitHintLines(std::wstring_view hint);

// What building process items needs from the system. Any callback may be left empty.
struct ProcessItemServices {
  // The "FileDescription" of the executable's version resource; empty when there is none.
  std::function<std::wstring(const std::wstring& fullPath)> fileDescription;
  // The small icon of the executable (an HICON the item then owns), or 0 when it has none.
  std::function<std::uintptr_t(const std::wstring& fullPath)> extractSmallIcon;
  std::function<void(std::uintptr_t icon)> destroyIcon;
  // The click handler of a finished process item (the process dialog).
  std::function<std::function<void()>(const TMenuItemEx& item)> makeClickHandler;
};

// Removes every top-level item with Tag 99, from the last to the first, handing each non-zero SmallIcon
// to destroyIcon once.
void RemoveProcessItems(Menu& PopupMenu1, const std::function<void(std::uintptr_t icon)>& destroyIcon);

// Removes every top-level item with Tag 98, from the last to the first.
void RemoveMemoryLines(Menu& PopupMenu1);

// The process block from a list sorted largest first: the old process items go, then up to
// TopProcessCount items are inserted before N1 in list order (at the end when there is no N1), and
// when at least one was added a separator with Tag 99 goes to index 1. Returns the number of process
// items added. An empty path is not asked for an icon; the description is asked for only when
// ShowNameInsteadOfModule is on.
int RebuildProcessItems(Menu& PopupMenu1, const TProcessList& sortedProcesses, const Settings& settings,
                        std::uint64_t displayedTotal, const NumberFormat& format,
                        const ProcessItemServices& services);

// The memory-line block: the old lines go, line i of the tooltip is inserted, disabled, at index
// i + 2, and a separator with Tag 98 follows the last line. Returns the number of lines.
int RebuildMemoryLines(Menu& PopupMenu1, std::wstring_view hint);

// Both blocks as a right click rebuilds them before the menu shows: the process block when
// ShowTopProcess is on (takeSnapshot is called only then, and whatever it throws leaves the menu as it
// was), then the memory-line block when ShowMemMenu is on.
void RebuildTrayMenu(Menu& PopupMenu1, const Settings& settings,
                     const std::function<TProcessList()>& takeSnapshot, std::wstring_view hint,
                     std::uint64_t displayedTotal, const NumberFormat& format,
                     const ProcessItemServices& services);

// The colour of highlighted process items; automatic (or the setting at -1) gives
// kDefaultProcMenuHighlightColor. The options dialog asks with automatic set for its preview.
ColorValue GetProcMenuHighlighColor(const Settings& settings, bool automatic);

}  // namespace nimbrel
