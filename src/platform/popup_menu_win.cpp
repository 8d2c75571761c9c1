#include "platform/popup_menu_win.h"

#include "platform/unique_resource_win.h"

namespace nimbrel {

namespace {
UINT ItemState(const MenuItem& item) {
  return (item.Enabled ? MFS_ENABLED : MFS_DISABLED) | (item.Checked ? MFS_CHECKED : 0) |
         (item.Default ? MFS_DEFAULT : 0);
}
}  // namespace

PopupMenuWindow::PopupMenuWindow() {
  window_.Create(L"TNimbrelPopupList", L"", WS_POPUP, WS_EX_TOOLWINDOW, 0, 0, 0, 0, nullptr);
}

PopupMenuWindow::~PopupMenuWindow() = default;

HMENU PopupMenuWindow::Build(Menu& menu) {
  HMENU handle = ::CreatePopupMenu();
  for (int i = 0; i < menu.Count(); ++i) {
    MenuItem& item = menu.Item(i);
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_DATA;
    info.fType = item.OwnerDraw ? MFT_OWNERDRAW : MFT_STRING;
    if (item.IsSeparator()) info.fType |= MFT_SEPARATOR;
    if (!item.OwnerDraw && !item.IsSeparator()) {
      info.fMask |= MIIM_STRING;
      info.dwTypeData = item.Caption.data();
    }
    info.fState = ItemState(item);
    info.wID = nextCommand_++;
    auto data = std::make_unique<ItemData>();
    data->text = MenuItemAccessibleText(item);
    data->msaa.dwMSAASignature = MSAA_MENU_SIG;
    data->msaa.cchWText = static_cast<DWORD>(data->text.size());
    data->msaa.pszWText = data->text.data();
    data->item = &item;
    info.dwItemData = reinterpret_cast<ULONG_PTR>(data.get());
    itemData_.push_back(std::move(data));
    commands_[info.wID] = &item;
    if (item.Items.Count() > 0) {
      info.fMask |= MIIM_SUBMENU;
      info.hSubMenu = Build(item.Items);  // destroyed with its parent
      submenus_[info.hSubMenu] = &item;
    }
    ::InsertMenuItemW(handle, static_cast<UINT>(i), TRUE, &info);
  }
  return handle;
}

void PopupMenuWindow::Popup(Menu& menu, int x, int y, const RECT* beside) {
  commands_.clear();
  submenus_.clear();
  itemData_.clear();
  nextCommand_ = 1;
  UniqueMenu handle(Build(menu));
  if (OnShown) OnShown(handle.get());
  TPMPARAMS clear{};
  clear.cbSize = sizeof clear;
  if (beside) clear.rcExclude = *beside;
  const UINT flags =
      TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | (beside ? TPM_BOTTOMALIGN | TPM_VERTICAL : 0);
  const UINT chosen = static_cast<UINT>(
      ::TrackPopupMenuEx(handle.get(), flags, x, y, window_.handle(), beside ? &clear : nullptr));
  // The item's handler runs after the menu is gone (it may show a dialog or end the program).
  MenuItem* item = nullptr;
  if (auto it = commands_.find(chosen); chosen != 0 && it != commands_.end()) item = it->second;
  handle.reset();
  commands_.clear();
  submenus_.clear();
  itemData_.clear();
  if (item && item->OnClick) item->OnClick();
}

void PopupMenuWindow::SubmenuOpening(HMENU submenu) {
  auto it = submenus_.find(submenu);
  if (it == submenus_.end()) return;
  MenuItem& parent = *it->second;
  if (parent.OnClick) parent.OnClick();
  const int count = ::GetMenuItemCount(submenu);
  for (int i = 0; i < count && i < parent.Items.Count(); ++i) {
    const MenuItem& child = parent.Items.Item(i);
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE;
    info.fState = ItemState(child);
    ::SetMenuItemInfoW(submenu, static_cast<UINT>(i), TRUE, &info);
  }
}

LRESULT PopupMenuWindow::Sink::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITMENUPOPUP:
      if (!HIWORD(lParam)) owner_.SubmenuOpening(reinterpret_cast<HMENU>(wParam));
      break;
    case WM_MEASUREITEM: {
      auto* m = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      if (m->CtlType == ODT_MENU && m->itemData && owner_.OnMeasureItem) {
        WindowDc dc(handle());
        owner_.OnMeasureItem(*reinterpret_cast<ItemData*>(m->itemData)->item, dc.get(), m->itemWidth,
                             m->itemHeight);
        return TRUE;
      }
      break;
    }
    case WM_DRAWITEM: {
      auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
      if (d->CtlType == ODT_MENU && d->itemData && owner_.OnDrawItem) {
        owner_.OnDrawItem(*reinterpret_cast<ItemData*>(d->itemData)->item, d->hDC, d->rcItem,
                          (d->itemState & ODS_SELECTED) != 0);
        return TRUE;
      }
      break;
    }
    default:
      break;
  }
  return DefaultProc(msg, wParam, lParam);
}

}  // namespace nimbrel
