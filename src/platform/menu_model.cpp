#include "platform/menu_model.h"

#include <stdexcept>
#include <utility>

namespace nimbrel {

Menu::Menu() = default;
Menu::~Menu() = default;
Menu::Menu(Menu&&) noexcept = default;
Menu& Menu::operator=(Menu&&) noexcept = default;

int Menu::Count() const { return static_cast<int>(items_.size()); }

MenuItem& Menu::Item(int index) {
  if (index < 0 || index >= Count()) throw std::out_of_range("Menu index out of bounds");
  return *items_[static_cast<std::size_t>(index)];
}

const MenuItem& Menu::Item(int index) const { return const_cast<Menu*>(this)->Item(index); }

MenuItem& Menu::Insert(int index, std::unique_ptr<MenuItem> item) {
  if (index < 0 || index > Count()) throw std::out_of_range("Menu index out of bounds");
  if (!item) throw std::invalid_argument("No menu item");
  return **items_.insert(items_.begin() + index, std::move(item));
}

MenuItem& Menu::Add(std::unique_ptr<MenuItem> item) { return Insert(Count(), std::move(item)); }

std::unique_ptr<MenuItem> Menu::Remove(int index) {
  if (index < 0 || index >= Count()) throw std::out_of_range("Menu index out of bounds");
  std::unique_ptr<MenuItem> item = std::move(items_[static_cast<std::size_t>(index)]);
  items_.erase(items_.begin() + index);
  return item;
}

int Menu::IndexOf(std::wstring_view name) const {
  for (int i = 0; i < Count(); ++i) {
    if (items_[static_cast<std::size_t>(i)]->Name == name) return i;
  }
  return -1;
}

MenuItem* Menu::Find(std::wstring_view name) {
  for (const std::unique_ptr<MenuItem>& item : items_) {
    if (item->Name == name) return item.get();
    if (MenuItem* inner = item->Items.Find(name)) return inner;
  }
  return nullptr;
}

const MenuItem* Menu::Find(std::wstring_view name) const { return const_cast<Menu*>(this)->Find(name); }

std::unique_ptr<MenuItem> MakeMenuItem(std::wstring name, std::wstring caption, int tag) {
  auto item = std::make_unique<MenuItem>();
  item->Name = std::move(name);
  item->Caption = std::move(caption);
  item->Tag = tag;
  return item;
}

namespace {

std::wstring KeyText(int key, const std::function<std::wstring(int)>& keyName) {
  switch (key) {
    case 0x08:
      return L"BkSp";
    case 0x09:
      return L"Tab";
    case 0x0D:
      return L"Enter";
    case 0x1B:
      return L"Esc";
    case 0x20:
      return L"Space";
    case 0x21:
      return L"PgUp";
    case 0x22:
      return L"PgDn";
    case 0x23:
      return L"End";
    case 0x24:
      return L"Home";
    case 0x25:
      return L"Left";
    case 0x26:
      return L"Up";
    case 0x27:
      return L"Right";
    case 0x28:
      return L"Down";
    case 0x2D:
      return L"Ins";
    case 0x2E:
      return L"Del";
    default:
      break;
  }
  if (key >= 0x30 && key <= 0x39) return std::wstring(1, static_cast<wchar_t>(L'0' + (key - 0x30)));
  if (key >= 0x41 && key <= 0x5A) return std::wstring(1, static_cast<wchar_t>(L'A' + (key - 0x41)));
  if (key >= 0x60 && key <= 0x69) return std::wstring(1, static_cast<wchar_t>(L'0' + (key - 0x60)));
  if (key >= 0x70 && key <= 0x87) return L"F" + std::to_wstring(key - 0x6F);
  if (key == 0 || !keyName) return {};
  return keyName(key);
}

}  // namespace

std::wstring ShortcutText(int shortcut, const std::function<std::wstring(int virtualKey)>& keyName) {
  const std::wstring key = KeyText(shortcut & 0xFF, keyName);
  if (key.empty()) return {};
  std::wstring text;
  if (shortcut & kShortCutShift) text += L"Shift+";
  if (shortcut & kShortCutCtrl) text += L"Ctrl+";
  if (shortcut & kShortCutAlt) text += L"Alt+";
  return text + key;
}

std::wstring MenuItemAccessibleText(const MenuItem& item) {
  std::wstring text = item.Caption;
  const std::size_t first = item.ValueText.find_first_not_of(L" \t");
  if (first != std::wstring::npos) {
    const std::size_t last = item.ValueText.find_last_not_of(L" \t");
    text += L' ';
    text.append(item.ValueText, first, last - first + 1);
  }
  return text;
}

}  // namespace nimbrel
