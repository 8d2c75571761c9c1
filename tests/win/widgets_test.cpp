// The colour picker combo box, the spin edit and the font dialog under Wine, on controls of a dialog
// made from an in-memory template as the options dialog's resources make them. A thread timer, which
// also fires inside the system dialogs' modal loops, plays the user.
#include <windows.h>

#include <gtest/gtest.h>
// The up-down messages; commctrl.h needs the types of windows.h first.
#include <commctrl.h>

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/unique_resource_win.h"
#include "settings/profile_ini_store_win.h"
#include "widgets/color_combo_win.h"
#include "widgets/font_dialog_win.h"
#include "widgets/spin_edit_win.h"
#include "win/test_paths_win.h"

namespace nimbrel {
namespace {

constexpr int kComboId = 101;
constexpr int kEditId = 102;
constexpr int kReadOnlyEditId = 103;

TColorComboBox* g_combo = nullptr;
HWND g_host = nullptr;
WPARAM g_answer = IDOK;
int g_answered = 0;
UINT_PTR g_answerTimer = 0;

INT_PTR CALLBACK HostProc(HWND, UINT msg, WPARAM, LPARAM lParam) {
  if (!g_combo) return FALSE;
  if (msg == WM_MEASUREITEM) g_combo->MeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
  if (msg == WM_DRAWITEM) g_combo->DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
  return msg == WM_MEASUREITEM || msg == WM_DRAWITEM;
}

// A dialog from an in-memory template, as the options dialog's resources make one: DS_SETFONT with
// "Tahoma" 8 points, the colour combo box and two edits. The combo box gets WM_MEASUREITEM while the
// dialog creates it, before Attach.
class HostDialog {
 public:
  explicit HostDialog(TColorComboBox* combo = nullptr) {
    g_combo = combo;
    DLGTEMPLATE dialog{
        DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, 3, 10, 10, 180, 200};
    Append(&dialog, sizeof dialog);
    for (const wchar_t* text : {L"", L"", L"widgets", L"\x8Tahoma"}) Append(text, (wcslen(text) + 1) * 2);
    Item(CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL, 8, 120, 200, kComboId, 0x85);
    Item(WS_BORDER, 30, 60, 14, kEditId, 0x81);
    Item(WS_BORDER, 50, 60, 14, kReadOnlyEditId, 0x81);
    g_host = ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr),
                                          reinterpret_cast<const DLGTEMPLATE*>(words_.data()), nullptr,
                                          &HostProc, 0);
  }
  ~HostDialog() {
    ::DestroyWindow(g_host);
    g_host = nullptr;
    g_combo = nullptr;
  }
  [[nodiscard]] HWND Control(int id) const { return ::GetDlgItem(g_host, id); }

 private:
  void Append(const void* data, std::size_t bytes) {
    const std::size_t at = words_.size();
    words_.resize(at + bytes / 2);
    std::memcpy(&words_[at], data, bytes);
  }
  void Item(DWORD style, short y, short cx, short cy, WORD id, WORD atom) {
    if (words_.size() % 2) words_.push_back(0);  // items start on a DWORD
    DLGITEMTEMPLATE item{WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, 0, 8, y, cx, cy, id};
    Append(&item, sizeof item);
    const WORD classAtomNoTitleNoData[] = {0xFFFF, atom, 0, 0};
    Append(classAtomNoTitleNoData, sizeof classAtomNoTitleNoData);
  }
  std::vector<WORD> words_;
};

HWND FindSystemDialog() { return testing::FindThreadDialog(g_host); }

void CALLBACK Answer(HWND, UINT, UINT_PTR id, DWORD) {
  const HWND dialog = FindSystemDialog();
  if (!dialog) return;
  ::KillTimer(nullptr, id);
  g_answerTimer = 0;
  ++g_answered;
  ::PostMessageW(dialog, WM_COMMAND, g_answer, 0);
}

// The system dialog the next call opens is answered with `answer`.
void AnswerNextDialog(WPARAM answer) {
  g_answer = answer;
  g_answered = 0;
  // A timer left from a dialog that never opened must not answer a later test's dialog.
  if (g_answerTimer) ::KillTimer(nullptr, g_answerTimer);
  g_answerTimer = ::SetTimer(nullptr, 0, 150, &Answer);
}

void Pump(DWORD milliseconds) {
  const DWORD start = ::GetTickCount();
  MSG msg;
  while (::GetTickCount() - start < milliseconds) {
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    ::Sleep(10);
  }
}

std::wstring ItemText(HWND combo, int index) {
  wchar_t text[64] = {};
  ::SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
  return text;
}

LRESULT Send(HWND window, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) {
  return ::SendMessageW(window, msg, wParam, lParam);
}

std::string Utf16File(const std::wstring& text) {
  return "\xFF\xFE" + std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

std::wstring WindowText(HWND window) {
  wchar_t text[64] = {};
  ::GetWindowTextW(window, text, 64);
  return text;
}

TEST(WidgetsTest, ColorComboListsAndSelectsColors) {
  TColorComboBox combo;
  HostDialog host(&combo);
  const HWND box = host.Control(kComboId);
  ASSERT_NE(box, nullptr) << "the host dialog was not created: error " << ::GetLastError();
  combo.Attach(box, L"");
  ASSERT_EQ(Send(box, CB_GETCOUNT), 43);
  const std::pair<int, const wchar_t*> names[] = {
      {0, L"默认"}, {10, L"红色"}, {33, L"ButtonShadow"}, {42, L"自定义..."}};
  for (const auto& [index, name] : names) EXPECT_EQ(ItemText(box, index), name) << index;
  EXPECT_TRUE(combo.DefaultSelected());
  EXPECT_EQ(combo.SelectedColor(), kAutomaticColor);
  TEXTMETRICW metrics{};
  {
    WindowDc dc(box);
    SelectObjectGuard font(dc.get(), reinterpret_cast<HFONT>(Send(box, WM_GETFONT)));
    ::GetTextMetricsW(dc.get(), &metrics);
  }
  EXPECT_GT(Send(box, CB_GETITEMHEIGHT), metrics.tmHeight);  // rows fit the dialog's font with room

  const std::tuple<ColorValue, int, int> cases[] = {
      // colour, entry, entries
      {RGB(255, 0, 0), 10, 43}, {SystemColor(16), 33, 43},   {RGB(0x12, 0x34, 0x56), 42, 44},
      {RGB(1, 2, 3), 42, 44},   {RGB(192, 192, 192), 9, 44}, {kAutomaticColor, 0, 44}};
  for (const auto& [color, index, count] : cases) {
    combo.SelectColor(color);
    EXPECT_EQ(Send(box, CB_GETCURSEL), index) << color;
    EXPECT_EQ(Send(box, CB_GETCOUNT), count) << color;
    EXPECT_EQ(combo.SelectedColor(), color);
  }
  EXPECT_EQ(ItemText(box, 42), L"自定义");
  EXPECT_EQ(ItemText(box, 43), L"自定义...");

  Send(box, CB_SETCURSEL, 11);  // the user picks Lime
  EXPECT_TRUE(combo.SelectionChanged(g_host));
  EXPECT_EQ(combo.SelectedColor(), RGB(0, 255, 0));
  EXPECT_FALSE(combo.SelectionChanged(g_host));  // nothing new
}

TEST(WidgetsTest, ColorComboDrawsSwatchesWithoutLeaks) {
  TColorComboBox combo;
  HostDialog host(&combo);
  combo.SetDefaultColor(RGB(251, 225, 225));
  combo.Attach(host.Control(kComboId), L"");
  constexpr int kWidth = 160, kHeight = 20;
  WindowDc screen(nullptr);
  UniqueMemoryDc dc(::CreateCompatibleDC(screen.get()));
  UniqueBitmap bitmap(::CreateCompatibleBitmap(screen.get(), kWidth, kHeight));
  SelectObjectGuard selectBitmap(dc.get(), bitmap.get());
  const auto draw = [&](int index, UINT state) {
    DRAWITEMSTRUCT item{ODT_COMBOBOX,
                        kComboId,
                        static_cast<UINT>(index),
                        ODA_DRAWENTIRE,
                        state,
                        host.Control(kComboId),
                        dc.get(),
                        {0, 0, kWidth, kHeight},
                        0};
    combo.DrawItem(item);
  };
  const std::tuple<int, UINT, COLORREF, int> cases[] = {
      // entry, state, swatch, background
      {0, 0, RGB(251, 225, 225), COLOR_WINDOW},
      {10, 0, RGB(255, 0, 0), COLOR_WINDOW},
      {5, ODS_SELECTED, RGB(0, 0, 128), COLOR_HIGHLIGHT},
      {33, 0, ::GetSysColor(COLOR_BTNSHADOW), COLOR_WINDOW}};
  for (const auto& [index, state, swatch, background] : cases) {
    draw(index, state);
    EXPECT_EQ(::GetPixel(dc.get(), 10, kHeight / 2), swatch) << index;
    EXPECT_EQ(::GetPixel(dc.get(), kWidth - 2, 1), ::GetSysColor(background)) << index;
    bool frame = false, text = false;
    for (int x = 0; x < 10; ++x)
      frame |= ::GetPixel(dc.get(), x, kHeight / 2) == ::GetSysColor(COLOR_3DDKSHADOW);
    for (int x = 40; x < kWidth - 4; ++x)
      text |= ::GetPixel(dc.get(), x, kHeight / 2) != ::GetSysColor(background);
    EXPECT_TRUE(frame && text) << index;
  }

  // Wine counts no GDI objects (GetGuiResources gives 0 there): the RAII counters and the DC's state
  // show a leak under Wine too.
  const auto state = [&] {
    return std::tuple(::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS), UniqueBrush::Live(),
                      UniqueFont::Live(), ::GetCurrentObject(dc.get(), OBJ_BRUSH),
                      ::GetCurrentObject(dc.get(), OBJ_FONT), ::GetTextColor(dc.get()),
                      ::GetBkMode(dc.get()));
  };
  const auto before = state();
  for (int round = 0; round < 50; ++round) {
    for (int index = 0; index < 43; ++index) draw(index, round % 2 ? ODS_SELECTED | ODS_FOCUS : 0);
  }
  MEASUREITEMSTRUCT measure{ODT_COMBOBOX, kComboId, 0, 0, 0, 0};
  combo.MeasureItem(measure);
  EXPECT_GT(measure.itemHeight, 8u);
  EXPECT_TRUE(state() == before);
}

TEST(WidgetsTest, ColorComboDropsDownWithSwatches) {
  TColorComboBox combo;
  HostDialog host(&combo);
  const HWND box = host.Control(kComboId);
  combo.Attach(box, L"");
  combo.SelectColor(RGB(0, 0, 255));
  Pump(200);  // the window system activates (and raises) the dialog some time after it appears
  ::SetFocus(box);
  Send(box, CB_SHOWDROPDOWN, TRUE);
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(::GetComboBoxInfo(box, &info) && Send(box, CB_GETDROPPEDSTATE));
  Send(info.hwndList, LB_SETTOPINDEX, 0);
  Pump(300);
  const std::pair<int, COLORREF> swatches[] = {{1, RGB(0, 0, 0)}, {10, RGB(255, 0, 0)}, {13, RGB(0, 0, 255)}};
  for (const auto& [index, color] : swatches) {
    RECT row{};
    Send(info.hwndList, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&row));
    POINT inSwatch{row.left + 10, (row.top + row.bottom) / 2};
    ::ClientToScreen(info.hwndList, &inSwatch);
    WindowDc screen(nullptr);
    EXPECT_EQ(::GetPixel(screen.get(), inSwatch.x, inSwatch.y), color) << index;
  }
  // A pause for a screenshot of the open list taken from outside.
  if (const char* hold = std::getenv("NIMBREL_WIDGETS_HOLD_MS")) Pump(static_cast<DWORD>(std::atoi(hold)));

  // Arrow keys in the open list pass over "自定义..." without opening the colour dialog.
  Send(box, CB_SETCURSEL, 42);
  EXPECT_FALSE(combo.SelectionChanged(g_host));
  Send(box, CB_SHOWDROPDOWN, FALSE);
  AnswerNextDialog(IDCANCEL);
  EXPECT_FALSE(combo.SelectionChanged(g_host));  // closed on it: the dialog opens, and is cancelled
  EXPECT_EQ(g_answered, 1);
  EXPECT_EQ(combo.SelectedColor(), RGB(0, 0, 255));
}

TEST(WidgetsTest, ColorComboCustomColorsGoThroughTheColorDialog) {
  const std::wstring folder = testing::MakeScratchFolder(L"colors");
  const std::wstring file = folder + L"Nimbrel.Settings";
  // A Unicode file: in an ANSI one the profile functions find the section only when the code page has
  // its characters (936 on the target systems, 1252 in this Wine prefix).
  const std::string before = Utf16File(L"[General]\r\nWarn=1\r\n[自定义颜色]\r\nColorB=00FF00\r\n");
  testing::WriteFileBytes(file, before);
  TColorComboBox combo;
  HostDialog host(&combo);
  const HWND box = host.Control(kComboId);
  combo.Attach(box, file);
  combo.SelectColor(RGB(0x12, 0x34, 0x56));
  const auto chooseMore = [&](WPARAM answer) {
    Send(box, CB_SETCURSEL, Send(box, CB_GETCOUNT) - 1);
    AnswerNextDialog(answer);
    const bool chosen = combo.SelectionChanged(g_host);
    EXPECT_EQ(g_answered, 1);
    return chosen;
  };
  EXPECT_FALSE(chooseMore(IDCANCEL));
  EXPECT_EQ(Send(box, CB_GETCURSEL), 42);
  EXPECT_EQ(testing::ReadFileBytes(file), before);

  EXPECT_TRUE(chooseMore(IDOK));
  EXPECT_EQ(Send(box, CB_GETCURSEL), 42);
  EXPECT_EQ(combo.SelectedColor(), RGB(0x12, 0x34, 0x56));  // the dialog opened on it
  // Read before the dialog opened (ColorB) and all sixteen written after it.
  std::wstring expected = L"[General]\r\nWarn=1\r\n[自定义颜色]\r\nColorB=00FF00\r\nColorA=FFFFFF\r\n";
  for (wchar_t key = L'C'; key <= L'P'; ++key) expected += std::wstring(L"Color") + key + L"=FFFFFF\r\n";
  EXPECT_EQ(testing::ReadFileBytes(file), Utf16File(expected));

  combo.SetDefaultColor(RGB(251, 225, 225));
  combo.SelectDefault();
  EXPECT_TRUE(chooseMore(IDOK));
  EXPECT_EQ(combo.SelectedColor(), RGB(251, 225, 225));  // opened on the automatic colour
  testing::RemoveTree(folder);
}

TEST(WidgetsTest, SpinEditsKeepTheirValuesInRange) {
  HostDialog host;
  TSpinEdit spin;
  const HWND edit = host.Control(kEditId);
  spin.Attach(edit, 100, 90000, 100, true);
  EXPECT_EQ(reinterpret_cast<HWND>(Send(spin.UpDown(), UDM_GETBUDDY)), edit);
  EXPECT_EQ(WindowText(edit), L"100");
  const std::pair<const wchar_t*, const wchar_t*> typed[] = {
      {L"50", L"100"}, {L"abc", L"100"}, {L" 2500 ", L"2500"}, {L"90001", L"90000"}, {L"", L"100"}};
  for (const auto& [text, shown] : typed) {
    ::SetWindowTextW(edit, text);
    spin.Normalize();
    EXPECT_EQ(WindowText(edit), shown);
  }
  spin.SetValue(2500);
  spin.SetRange(1000, 2000);
  int low = 0, high = 0;
  Send(spin.UpDown(), UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
  EXPECT_EQ(std::tuple(spin.Value(), spin.MinValue(), spin.MaxValue(), low, high),
            std::tuple(2000, 1000, 2000, 1000, 2000));
  spin.SetRange(100, 90000);
  spin.SetValue(1000);
  RECT arrows{};
  ::GetClientRect(spin.UpDown(), &arrows);
  for (const auto& [y, shown] : {std::pair(arrows.bottom / 4, L"1100"), {arrows.bottom * 3 / 4, L"1000"}}) {
    Send(spin.UpDown(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(arrows.right / 2, y));
    Send(spin.UpDown(), WM_LBUTTONUP, 0, MAKELPARAM(arrows.right / 2, y));
    EXPECT_EQ(WindowText(edit), shown);
  }

  TSpinEdit fixed;  // no typing; the arrow keys still step, up to the bound
  const HWND readOnly = host.Control(kReadOnlyEditId);
  fixed.Attach(readOnly, 1, 51, 1, false);
  fixed.SetValue(50);
  Send(readOnly, WM_CHAR, L'7');
  EXPECT_EQ(WindowText(readOnly), L"50");
  for (const auto& [key, shown] : {std::pair(VK_UP, L"51"), {VK_UP, L"51"}, {VK_DOWN, L"50"}}) {
    Send(readOnly, WM_KEYDOWN, key, 1);
    Send(readOnly, WM_KEYUP, key, 0xC0000001);
    EXPECT_EQ(WindowText(readOnly), shown);
  }
}

TEST(WidgetsTest, FontDialogGivesTheFontBackOnOkOnly) {
  const std::tuple<int, int, ColorValue, ColorValue> cases[] = {
      // size, style, colour opened, colour back
      {9, 3, RGB(128, 0, 0), RGB(128, 0, 0)},
      {12, 12, SystemColor(COLOR_GRAYTEXT), static_cast<ColorValue>(::GetSysColor(COLOR_GRAYTEXT))},
      {8, 0, kAutomaticColor, RGB(0, 0, 0)}};
  for (const auto& [size, style, opened, back] : cases) {
    const FontSpec start{L"Tahoma", ANSI_CHARSET, opened, size, style};
    FontSpec font = start;
    AnswerNextDialog(IDOK);
    EXPECT_TRUE(ExecuteFontDialog(nullptr, font));
    EXPECT_EQ(g_answered, 1);
    EXPECT_TRUE(font == (FontSpec{L"Tahoma", ANSI_CHARSET, back, size, style}))
        << font.Size << "pt " << font.Style << " " << font.CharSet << " " << font.Color;
    font = start;
    AnswerNextDialog(IDCANCEL);
    EXPECT_FALSE(ExecuteFontDialog(nullptr, font));
    EXPECT_TRUE(font == start);
  }
}

}  // namespace
}  // namespace nimbrel
