// Both paths of the task dialog under Wine: the platform dialog (the test program carries the common
// controls 6 manifest) and the emulated form. A thread timer, which also fires inside the dialogs'
// modal loops, plays the user.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "display/high_memory_warning.h"
#include "platform/application_win.h"
#include "platform/task_dialog_layout.h"
#include "platform/task_dialog_win.h"

namespace nimbrel {
namespace {

std::function<bool(HWND)> g_user;  // returns true once it has acted
std::wstring g_caption;
UINT_PTR g_timer = 0;

HWND FindDialog() {
  HWND found = nullptr;
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND w, LPARAM p) -> BOOL {
        wchar_t text[128] = {};
        ::GetWindowTextW(w, text, 128);
        if (::IsWindowVisible(w) && g_caption == text) {
          *reinterpret_cast<HWND*>(p) = w;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
  HWND dialog = FindDialog();
  if (dialog && g_user && g_user(dialog)) g_user = nullptr;
}

// Runs the dialog while `user` acts on it (repeatedly, until it returns true).
int RunWith(TTaskDialogEx& request, std::function<bool(HWND)> user) {
  if (!Application::Instance().Handle()) Application::Instance().Initialize(L"Nimbrel");
  g_caption = request.Dialog.Caption;
  g_user = std::move(user);
  g_timer = ::SetTimer(nullptr, 0, 100, &Tick);
  int result = ExecuteTaskDialog(request);
  ::KillTimer(nullptr, g_timer);
  g_user = nullptr;
  return result;
}

void PressEscape(HWND dialog) {
  HWND focus = ::GetFocus();
  ::PostMessageW(focus ? focus : dialog, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
  ::PostMessageW(focus ? focus : dialog, WM_KEYUP, VK_ESCAPE, 0xC0010001);
}

void PressEnter(HWND dialog) {
  HWND focus = ::GetFocus();
  ::PostMessageW(focus ? focus : dialog, WM_KEYDOWN, VK_RETURN, 0x001C0001);
  ::PostMessageW(focus ? focus : dialog, WM_KEYUP, VK_RETURN, 0xC01C0001);
}

HWND ChildWithStyle(HWND dialog, DWORD buttonStyle) {
  HWND found = nullptr;
  struct Search {
    DWORD style;
    HWND* out;
  } search{buttonStyle, &found};
  ::EnumChildWindows(
      dialog,
      [](HWND w, LPARAM p) -> BOOL {
        auto* s = reinterpret_cast<Search*>(p);
        wchar_t cls[32] = {};
        ::GetClassNameW(w, cls, 32);
        if (lstrcmpiW(cls, L"Button") == 0 &&
            (::GetWindowLongW(w, GWL_STYLE) & 0xF) == static_cast<LONG>(s->style)) {
          *s->out = w;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return found;
}

TTaskDialogEx WarningRequest(bool emulate) {
  HighMemoryDecision decision;
  decision.title = L"内存高 (91%)";
  decision.content = L"建议关闭一些应用程序";
  decision.dialogButtons = L"整理内存\n任务管理器\n关闭";
  TTaskDialogEx r = HighMemoryWarningRequest(decision, 0);
  // Each path under its own title, so that the timer finds the right window.
  r.Dialog.Caption = emulate ? L"Nimbrel emulated" : L"Nimbrel platform";
  r.ForceEmulation = emulate;
  return r;
}

TEST(TaskDialogPlatform, IsAvailableWithTheManifest) { EXPECT_TRUE(PlatformTaskDialogAvailable()); }

TEST(TaskDialogPlatform, CommandButtonAndVerificationReadBack) {
  TTaskDialogEx r = WarningRequest(false);
  int result = RunWith(r, [](HWND d) {
    ::SendMessageW(d, TDM_CLICK_VERIFICATION, TRUE, FALSE);
    ::SendMessageW(d, TDM_CLICK_BUTTON, 101, 0);
    return true;
  });
  EXPECT_EQ(result, 101);
  EXPECT_TRUE(r.Dialog.VerificationChecked);
}

TEST(TaskDialogPlatform, CloseBoxCancels) {
  TTaskDialogEx r = WarningRequest(false);
  EXPECT_EQ(RunWith(r,
                    [](HWND d) {
                      ::PostMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0);
                      return true;
                    }),
            2);
  EXPECT_FALSE(r.Dialog.VerificationChecked);
}

TEST(TaskDialogPlatform, VerificationStartsCheckedWhenAsked) {
  TTaskDialogEx r = WarningRequest(false);
  r.Dialog.VerificationChecked = true;
  EXPECT_EQ(RunWith(r,
                    [](HWND d) {
                      ::SendMessageW(d, TDM_CLICK_BUTTON, 102, 0);
                      return true;
                    }),
            102);
  EXPECT_TRUE(r.Dialog.VerificationChecked);
}

TEST(TaskDialogEmulated, CommandButtonAndVerificationReadBack) {
  TTaskDialogEx r = WarningRequest(true);
  int result = RunWith(r, [](HWND d) {
    HWND box = ChildWithStyle(d, BS_AUTOCHECKBOX);
    HWND button = ::GetDlgItem(d, 101);
    if (!box || !button) return false;
    ::SendMessageW(box, BM_CLICK, 0, 0);
    ::SendMessageW(button, BM_CLICK, 0, 0);
    return true;
  });
  EXPECT_EQ(result, 101);
  EXPECT_TRUE(r.Dialog.VerificationChecked);
}

TEST(TaskDialogEmulated, ControlsSitWhereTheLayoutPutsThem) {
  TTaskDialogEx r = WarningRequest(true);
  std::vector<std::pair<std::wstring, RECT>> seen;
  RunWith(r, [&](HWND d) {
    ::EnumChildWindows(
        d,
        [](HWND w, LPARAM p) -> BOOL {
          auto* out = reinterpret_cast<std::vector<std::pair<std::wstring, RECT>>*>(p);
          wchar_t text[64] = {};
          ::GetWindowTextW(w, text, 64);
          RECT rc{};
          ::GetWindowRect(w, &rc);
          ::MapWindowPoints(nullptr, ::GetParent(w), reinterpret_cast<POINT*>(&rc), 2);
          out->push_back({text, rc});
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&seen));
    ::SendMessageW(::GetDlgItem(d, 102), BM_CLICK, 0, 0);
    return true;
  });
  // The three command buttons sit in one row, left to right in their own order, 23 pixels high.
  std::vector<RECT> row;
  for (const wchar_t* caption : {L"整理内存", L"任务管理器", L"关闭"}) {
    auto it = std::find_if(seen.begin(), seen.end(), [&](auto& s) { return s.first == caption; });
    ASSERT_NE(it, seen.end()) << "no button " << static_cast<int>(row.size());
    row.push_back(it->second);
  }
  EXPECT_LT(row[0].left, row[1].left);
  EXPECT_LT(row[1].left, row[2].left);
  for (const RECT& rc : row) {
    EXPECT_EQ(rc.top, row[0].top);
    EXPECT_EQ(rc.bottom - rc.top, 23);
  }
  auto box = std::find_if(seen.begin(), seen.end(), [](auto& s) { return s.first == L"不再显示此警告"; });
  ASSERT_NE(box, seen.end());
  EXPECT_EQ(box->second.bottom - box->second.top, 24);
}

// WM_DPICHANGED, as the system sends it when the form is moved to a monitor at another scale (Wine never
// sends it): the form lays itself out again at the new dpi, where the system suggests, and keeps what
// the user did.
TEST(TaskDialogEmulated, LaysOutAgainAtTheDpiAMoveBrings) {
  TTaskDialogEx r = WarningRequest(true);
  struct Seen {
    RECT window{};
    RECT client{};
    RECT button{};
    LONG fontHeight = 0;
    bool stillChecked = false;
  } seen;
  const int result = RunWith(r, [&](HWND d) {
    HWND box = ChildWithStyle(d, BS_AUTOCHECKBOX);
    HWND button = ::GetDlgItem(d, 101);
    if (!box || !button) return false;
    ::SendMessageW(box, BM_CLICK, 0, 0);
    RECT suggested{100, 80, 100 + 900, 80 + 300};
    ::SendMessageW(d, WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
    ::GetWindowRect(d, &seen.window);
    ::GetClientRect(d, &seen.client);
    ::GetWindowRect(button, &seen.button);
    LOGFONTW font{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(button, WM_GETFONT, 0, 0)), sizeof font, &font);
    seen.fontHeight = font.lfHeight;
    seen.stillChecked = ::SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
    ::SendMessageW(button, BM_CLICK, 0, 0);
    return true;
  });
  EXPECT_EQ(result, 101);
  EXPECT_TRUE(r.Dialog.VerificationChecked);
  EXPECT_TRUE(seen.stillChecked);
  EXPECT_EQ(seen.window.left, 100);
  EXPECT_EQ(seen.window.top, 80);
  EXPECT_EQ(seen.client.right, 840);                    // 420 at 96 dpi
  EXPECT_EQ(seen.fontHeight, -21);                      // 8 points at 192 dpi
  EXPECT_EQ(seen.button.bottom - seen.button.top, 46);  // 23 at 96 dpi
  EXPECT_GE(seen.client.bottom, 2 * 100);
}

TEST(TaskDialogEmulated, NoButtonsMeansOneOkThatEnterAndEscapeBothPress) {
  TTaskDialogEx r;
  r.Dialog.Caption = L"Nimbrel ok";
  r.Dialog.ContentText = L"此程序需要 Windows NT/2000/XP/2003 Server/Vista/2008 Server/7/8 或更高";
  r.ForceEmulation = true;
  int okButtons = -1;
  EXPECT_EQ(RunWith(r,
                    [&](HWND d) {
                      okButtons = ::GetDlgItem(d, 1) ? 1 : 0;
                      PressEnter(d);
                      return true;
                    }),
            1);
  EXPECT_EQ(okButtons, 1);
  TTaskDialogEx again = r;
  EXPECT_EQ(RunWith(again,
                    [](HWND d) {
                      PressEscape(d);
                      return true;
                    }),
            1);
}

TEST(TaskDialogEmulated, WithoutADefaultButtonEnterAndSpacePressTheFirstTabStop) {
  for (const UINT key : {VK_RETURN, VK_SPACE}) {
    TTaskDialogEx r = WarningRequest(true);
    int focusedId = -1;
    int step = 0;
    const int result = RunWith(r, [&](HWND d) {
      if (step++ > 0) {
        // Still open a tick after the key: the key went nowhere.
        ::PostMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0);
        return true;
      }
      HWND focus = ::GetFocus();
      focusedId = focus ? ::GetDlgCtrlID(focus) : 0;
      ::PostMessageW(focus ? focus : d, WM_KEYDOWN, key, 0x00390001);
      ::PostMessageW(focus ? focus : d, WM_KEYUP, key, 0xC0390001);
      return false;
    });
    EXPECT_EQ(focusedId, 100) << key;
    EXPECT_EQ(result, 100) << key;
  }
}

TEST(TaskDialogEmulated, EscapeWithoutCancelButtonDoesNothingButTheCloseBoxCancels) {
  TTaskDialogEx r = WarningRequest(true);
  int step = 0;
  int result = RunWith(r, [&](HWND d) {
    if (step++ == 0) {
      PressEscape(d);
      return false;  // look again on the next tick: still open?
    }
    ::PostMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0);
    return true;
  });
  EXPECT_GE(step, 2) << "Escape closed a dialog that has no cancel button";
  EXPECT_EQ(result, 2);
}

TEST(TaskDialogEmulated, OkCancelEscapeAnswersCancel) {
  TTaskDialogEx r;
  r.Dialog.Caption = L"Nimbrel okcancel";
  r.Dialog.ContentText = L"?";
  r.CommonButtons = kOkButton | kCancelButton;
  r.ForceEmulation = true;
  EXPECT_EQ(RunWith(r,
                    [](HWND d) {
                      PressEscape(d);
                      return true;
                    }),
            2);
}

TEST(TaskDialogEmulated, VerificationStartsCheckedAndInputTextIsReadBack) {
  TTaskDialogEx r;
  r.Dialog.Caption = L"Nimbrel input";
  r.Dialog.ContentText = L"主题名称";
  r.Dialog.InputText = L"old";
  r.Dialog.VerificationText = L"不再显示此警告";
  r.Dialog.VerificationChecked = true;
  r.CommonButtons = kOkButton | kCancelButton;
  r.DialogFlags = kQueryField | kQueryFocused;
  bool startedChecked = false;
  int result = RunWith(r, [&](HWND d) {
    HWND box = ChildWithStyle(d, BS_AUTOCHECKBOX);
    HWND edit = ::FindWindowExW(d, nullptr, L"Edit", nullptr);
    if (!box || !edit) return false;
    startedChecked = ::SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
    ::SetWindowTextW(edit, L"新主题");
    ::SendMessageW(::GetDlgItem(d, 1), BM_CLICK, 0, 0);
    return true;
  });
  EXPECT_EQ(result, 1);
  EXPECT_TRUE(startedChecked);
  EXPECT_TRUE(r.Dialog.VerificationChecked);
  EXPECT_EQ(r.Dialog.InputText, L"新主题");
}

TEST(MessageDialogPlatform, ButtonsMapBack) {
  if (!Application::Instance().Handle()) Application::Instance().Initialize(L"Nimbrel");
  g_caption = L"确认";
  g_user = [](HWND d) {
    ::SendMessageW(d, TDM_CLICK_BUTTON, IDNO, 0);
    return true;
  };
  g_timer = ::SetTimer(nullptr, 0, 100, &Tick);
  int result =
      MessageDialog(L"删除主题?", MessageDialogType::Confirmation, kMessageYes | kMessageNo, nullptr);
  ::KillTimer(nullptr, g_timer);
  EXPECT_EQ(result, 7);
}

}  // namespace
}  // namespace nimbrel
