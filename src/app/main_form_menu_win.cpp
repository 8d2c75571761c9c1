// The main form's tray menu: opening it (TrayMouseDown), measuring and drawing its items, and the
// process dialog of a process item (KillItem).
#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <iterator>
#include <optional>
#include <variant>

#include "app/main_form_win.h"
#include "platform/application_win.h"
#include "platform/display_scale_win.h"
#include "platform/system_info_win.h"
#include "platform/task_dialog_win.h"
#include "platform/uxtheme_win.h"
#include "platform/version_info_win.h"
#include "processes/menu_drawing.h"
#include "processes/process_actions.h"
#include "processes/process_snapshot_win.h"
#include "processes/tray_menu.h"

namespace nimbrel {

namespace {

COLORREF Resolve(ColorValue c) {
  return IsSystemColor(c) ? ::GetSysColor(SystemColorIndex(c)) : static_cast<COLORREF>(c & 0xFFFFFF);
}

class GdiMenuMetrics : public MenuTextMetrics {
 public:
  GdiMenuMetrics(HDC dc, HFONT regular, HFONT bold) : dc_(dc), regular_(regular), bold_(bold) {}
  int TextWidth(std::wstring_view text, bool bold) const override {
    SelectObjectGuard font(dc_, bold ? bold_ : regular_);
    SIZE size{};
    ::GetTextExtentPoint32W(dc_, text.data(), static_cast<int>(text.size()), &size);
    return size.cx;
  }
  std::wstring KeyName(int virtualKey) const override {
    wchar_t name[64] = {};
    LONG scan = static_cast<LONG>(::MapVirtualKeyW(static_cast<UINT>(virtualKey), MAPVK_VK_TO_VSC)) << 16;
    return ::GetKeyNameTextW(scan, name, 64) > 0 ? std::wstring(name) : std::wstring();
  }

 private:
  HDC dc_;
  HFONT regular_;
  HFONT bold_;
};

}  // namespace

void TFrmNimbrelMain::CreateTrayMenu() {
  BuildFixedItems(PopupMenu1);
  auto on = [this](const wchar_t* name, std::function<void()> handler) {
    if (MenuItem* item = PopupMenu1.Find(name)) item->OnClick = std::move(handler);
  };
  on(L"LaunchTaskManager1", [this] { LaunchTaskManager1Click(); });
  on(L"MemoryDefragmenter1", [this] { MemoryDefragmenter1Click(); });
  on(L"Settings2", [this] { Settings2Click(); });
  on(L"hemes1", [this] { hemes1Click(); });
  on(L"extColor1", [this] { extColor1Click(); });
  on(L"ransparentBackground1", [this] { ransparentBackground1Click(); });
  on(L"Settings1", [this] { Settings1Click(); });
  on(L"About1", [this] { About1Click(); });
  on(L"Close1", [this] { Close1Click(); });

  // Loaded once for the run rather than for every item drawn.
  checkBitmap_.reset(::LoadBitmapW(nullptr, MAKEINTRESOURCEW(kObmCheck)));

  popupWindow_.OnMeasureItem = [this](MenuItem& item, HDC dc, UINT& width, UINT& height) {
    MeasureItem(item, dc, width, height);
  };
  popupWindow_.OnDrawItem = [this](MenuItem& item, HDC dc, const RECT& r, bool selected) {
    DrawItem(item, dc, r, selected);
  };
  Tray->OnMouseDown = [this](MouseButton button, unsigned shift, int x, int y) {
    TrayMouseDown(button, shift, x, y);
  };
  // Shift+F10 or the menu key on the selected icon.
  Tray->OnKeyMenu = [this](const RECT& icon) { ShowTrayMenu(&icon); };
}

void TFrmNimbrelMain::InitDefaultMenu() { MarkDefaultItem(PopupMenu1, settings.DoubleClickAction); }

void TFrmNimbrelMain::TrayMouseDown(MouseButton button, unsigned, int, int) {
  if (button == MouseButton::Right) ShowTrayMenu(nullptr);
}

void TFrmNimbrelMain::ShowTrayMenu(const RECT* icon) {
  if (closed_) return;
  ::SetForegroundWindow(TCoolTrayIcon::MessageWindow());
  Application::Instance().ProcessMessages();

  // The menu opens at the pointer, or beside the icon for the keyboard, at the scale of the monitor
  // there.
  POINT pt{};
  ::GetCursorPos(&pt);
  if (icon) pt = POINT{icon->left, icon->top};
  PrepareMenuScale(MonitorDpiAt(pt));
  const ProcessItemServices services = menuImages.ForOpening(
      [this](const TMenuItemEx& item) {
        // Copies: the item is gone by the time a later opening rebuilds the menu.
        return std::function<void()>([this, pid = item.ProcessID, exe = item.ExeFile, path = item.FullPath] {
          KillItem(pid, exe, path);
        });
      },
      menuScale_.iconSize);
  RebuildTrayMenu(
      PopupMenu1, settings,
      [this] {
        TProcessList list;
        TakeMenuSnapshot(list, settings.TopProcessCount);
        return list;
      },
      Tray->Hint(), DisplayedTotal, numberFormat_, services);

  if (!icon) ::GetCursorPos(&pt);
  Application::Instance().ProcessMessages();
  // The menu's owner must be in front, or the menu does not close when the user clicks elsewhere.
  ::SetForegroundWindow(popupWindow_.Handle());
  menuTheme_.emplace(popupWindow_.Handle(), L"MENU");
  menuTextMeasured_ = false;
  popupWindow_.Popup(PopupMenu1, pt.x, pt.y, icon);
  backdrops_.clear();
  backdropDc_.reset();
  menuTheme_.reset();
  ::PostMessageW(popupWindow_.Handle(), WM_NULL, 0, 0);
  if (IsVistaOrLater) {
    if (HWND overflow = ::FindWindowW(L"NotifyIconOverflowWindow", nullptr))
      ::PostMessageW(overflow, WM_CLOSE, 0, 0);
  }
}

namespace {

// Every text the menu may draw in bold: the default entry is any of the fixed entries the double-click
// action names, and draws its shortcut and values in bold too.
void CollectBoldTexts(const Menu& menu, std::wstring& texts) {
  for (int i = 0; i < menu.Count(); ++i) {
    const MenuItem& item = menu.Item(i);
    texts += item.Caption;
    CollectBoldTexts(item.Items, texts);
  }
}

}  // namespace

void TFrmNimbrelMain::PrepareMenuScale(int dpi) {
  if (menuFont_ && menuBoldFont_ && dpi == menuScale_.dpi) return;
  menuScale_ = MenuScale{dpi, SmallIconSize(dpi)};
  std::wstring boldTexts = L"0123456789.,:% MBGBCtrlAltShift+";
  CollectBoldTexts(PopupMenu1, boldTexts);
  MakeFontPair(NonClientMetricsForDpi(dpi).lfMenuFont, 100, menuFont_, menuBoldFont_, boldTexts);
  backdrops_.clear();
}

void TFrmNimbrelMain::MeasureItem(MenuItem& item, HDC dc, UINT& width, UINT& height) {
  int captionWidth = 0;
  {
    SelectObjectGuard font(dc, item.Default ? menuBoldFont_.get() : menuFont_.get());
    if (!item.IsSeparator()) {
      RECT r{0, 0, 0, 0};
      ::DrawTextW(dc, item.Caption.c_str(), static_cast<int>(item.Caption.size()), &r, kMeasureTextFlags);
      captionWidth = r.right - r.left;
    }
    // The same font and canvas for every item of one opening: measured for its first item.
    if (!menuTextMeasured_) {
      SelectObjectGuard regular(dc, menuFont_.get());
      SIZE aa{};
      ::GetTextExtentPoint32W(dc, kMenuTextHeightSample.data(),
                              static_cast<int>(kMenuTextHeightSample.size()), &aa);
      MenuTextHeight = aa.cy;
      menuTextMeasured_ = true;
    }
  }
  MenuItemMeasure m = MeasureMenuItem(item.IsSeparator(), captionWidth, MenuTextHeight, menuScale_);
  if (m.width) width = static_cast<UINT>(*m.width);
  height = static_cast<UINT>(m.height);
}

void TFrmNimbrelMain::DrawItem(MenuItem& item, HDC dc, const RECT& rc, bool selected) {
  const UxTheme& ux = UxTheme::Get();
  std::optional<ThemeHandle> opened;
  if (!menuTheme_) opened.emplace(popupWindow_.Handle(), L"MENU");
  const ThemeHandle& theme = menuTheme_ ? *menuTheme_ : *opened;
  const bool themed = theme.get() != nullptr;
  BITMAP check{};
  if (checkBitmap_) ::GetObjectW(checkBitmap_.get(), sizeof check, &check);
  GdiMenuMetrics metrics(dc, menuFont_.get(), menuBoldFont_.get());
  // Under a high-contrast scheme the menu keeps to the scheme's colours: an automatic highlight of the
  // busiest processes is the menu's own colour there.
  const ColorValue highlight = highContrast_ && settings.ProcMenuHightlightColor == kAutomaticColor
                                   ? kMenuColor
                                   : GetProcMenuHighlighColor(settings, false);
  MenuItemPaint plan =
      PlanMenuItemPaint(item, Rect{rc.left, rc.top, rc.right, rc.bottom}, selected, themed, IsVistaOrLater,
                        MenuTextHeight, highlight, check.bmWidth, metrics, menuScale_);
  auto win = [](const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; };
  // The theme parts that open the painting (background, gutter) are the same for every item of a size:
  // under the popup's open style they come from the backdrop cache.
  std::size_t first = 0;
  if (themed && menuTheme_) {
    std::vector<const ThemePartStep*> parts;
    for (; first < plan.steps.size(); ++first) {
      const auto* part = std::get_if<ThemePartStep>(&plan.steps[first]);
      if (!part) break;
      parts.push_back(part);
    }
    if (!parts.empty()) DrawBackdrop(dc, rc, parts);
  }
  for (std::size_t i = first; i < plan.steps.size(); ++i) {
    const MenuPaintStep& step = plan.steps[i];
    if (auto* part = std::get_if<ThemePartStep>(&step)) {
      RECT r = win(part->rect);
      if (themed) ux.DrawThemeBackground(theme.get(), dc, part->part, part->state, &r, nullptr);
    } else if (auto* fill = std::get_if<FillStep>(&step)) {
      RECT r = win(fill->rect);
      UniqueBrush brush(::CreateSolidBrush(Resolve(fill->color)));
      ::FillRect(dc, &r, brush.get());
    } else if (auto* line = std::get_if<LineStep>(&step)) {
      UniqueResource<GdiObjectTraits<HPEN>> pen(::CreatePen(PS_SOLID, 1, Resolve(line->color)));
      SelectObjectGuard select(dc, pen.get());
      ::MoveToEx(dc, line->from.x, line->from.y, nullptr);
      ::LineTo(dc, line->to.x, line->to.y);
    } else if (auto* icon = std::get_if<IconStep>(&step)) {
      HICON h = icon->icon == MenuIcon::ItemSmallIcon ? reinterpret_cast<HICON>(icon->handle)
                                                      : MenuIconAt(icon->icon, icon->size);
      if (h) ::DrawIconEx(dc, icon->at.x, icon->at.y, h, icon->size, icon->size, 0, nullptr, DI_NORMAL);
    } else if (auto* mark = std::get_if<CheckBitmapStep>(&step)) {
      if (checkBitmap_) {
        UniqueMemoryDc source(::CreateCompatibleDC(dc));
        SelectObjectGuard select(source.get(), checkBitmap_.get());
        ::GdiTransparentBlt(dc, mark->at.x, mark->at.y, check.bmWidth, check.bmHeight, source.get(), 0, 0,
                            check.bmWidth, check.bmHeight, RGB(255, 255, 255));
      }
    } else if (auto* text = std::get_if<TextStep>(&step)) {
      COLORREF colour = Resolve(text->color.color);
      if (text->color.fromTheme && themed && ux.GetThemeColor)
        ux.GetThemeColor(theme.get(), kMenuPartPopupItem, kMenuStateHot, kTmtTextColor, &colour);
      SelectObjectGuard font(dc, text->bold ? menuBoldFont_.get() : menuFont_.get());
      ::SetBkMode(dc, TRANSPARENT);
      ::SetTextColor(dc, colour);
      RECT r = win(text->rect);
      ::DrawTextW(dc, text->text.c_str(), static_cast<int>(text->text.size()), &r, text->flags);
    }
  }
}

void TFrmNimbrelMain::DrawBackdrop(HDC dc, const RECT& rc, const std::vector<const ThemePartStep*>& parts) {
  const int width = rc.right - rc.left;
  const int height = rc.bottom - rc.top;
  std::vector<int> key{width, height};
  for (const ThemePartStep* p : parts)
    key.insert(key.end(), {p->part, p->state, p->rect.left - rc.left, p->rect.top - rc.top,
                           p->rect.right - rc.left, p->rect.bottom - rc.top});
  if (!backdropDc_) backdropDc_.reset(::CreateCompatibleDC(dc));
  auto found =
      std::find_if(backdrops_.begin(), backdrops_.end(), [&](const auto& b) { return b.first == key; });
  if (found == backdrops_.end()) {
    UniqueBitmap bitmap(::CreateCompatibleBitmap(dc, width, height));
    SelectObjectGuard select(backdropDc_.get(), bitmap.get());
    // What the menu drew under the item, for parts that do not cover it all.
    ::BitBlt(backdropDc_.get(), 0, 0, width, height, dc, rc.left, rc.top, SRCCOPY);
    for (const ThemePartStep* p : parts) {
      RECT r{p->rect.left - rc.left, p->rect.top - rc.top, p->rect.right - rc.left, p->rect.bottom - rc.top};
      UxTheme::Get().DrawThemeBackground(menuTheme_->get(), backdropDc_.get(), p->part, p->state, &r,
                                         nullptr);
    }
    backdrops_.emplace_back(std::move(key), std::move(bitmap));
    found = std::prev(backdrops_.end());
  }
  SelectObjectGuard select(backdropDc_.get(), found->second.get());
  ::BitBlt(dc, rc.left, rc.top, width, height, backdropDc_.get(), 0, 0, SRCCOPY);
}

void TFrmNimbrelMain::KillItem(std::uint32_t processId, const std::wstring& exeFile,
                               const std::wstring& fullPath) {
  const VersionStrings version = ReadVersionStrings(fullPath);
  TTaskDialogEx request =
      KillItemRequest(exeFile, ProcessContentText(version.description, version.company, version.fileVersion));
  const ProcessAction action = KillItemAction(ExecuteTaskDialog(request));
  if (action == ProcessAction::None) return;
  UniqueHandle process(::OpenProcess(PROCESS_ALL_ACCESS, FALSE, processId));
  switch (action) {
    case ProcessAction::OpenFolder:
      ::ShellExecuteW(handle(), L"OPEN", FolderToOpen(fullPath).c_str(), L"", L"", SW_SHOW);
      break;
    case ProcessAction::TrimMemory:
      if (process)
        ::SetProcessWorkingSetSize(process.get(), static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
      break;
    case ProcessAction::Terminate:
      if (process) ::TerminateProcess(process.get(), 0);
      break;
    case ProcessAction::None:
      break;
  }
}

}  // namespace nimbrel
