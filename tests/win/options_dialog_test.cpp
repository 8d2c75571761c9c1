// The options dialog itself under Wine, from its resource templates, with the main form's side recorded:
// the keyboard, the portable-computer question, a save the file refuses, OK by Enter, the close box. A
// thread timer, which also fires inside the dialog's and the question's modal loops, plays the user.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>

#include "options/options_dialog_win.h"
#include "options/options_ids.h"
#include "platform/application_win.h"
#include "win/test_paths_win.h"

namespace nimbrel {
namespace {

// Each step acts once the dialog is in the state it waits for, and then returns true.
std::deque<std::function<bool()>> g_steps;
std::wstring g_failure;
DWORD g_deadline = 0;

HWND ThreadWindow(const wchar_t* caption) { return testing::FindThreadDialog(nullptr, caption); }

HWND Options() { return ThreadWindow(L"Nimbrel 设置"); }

// A control of the dialog or of one of its pages.
HWND Control(int id) {
  HWND dialog = Options();
  if (HWND direct = ::GetDlgItem(dialog, id)) return direct;
  for (HWND page = ::GetWindow(::GetDlgItem(dialog, IDC_PAGES), GW_HWNDNEXT); page;
       page = ::GetWindow(page, GW_HWNDNEXT))
    if (HWND found = ::GetDlgItem(page, id)) return found;
  return nullptr;
}

void Key(HWND target, WPARAM key) {
  ::PostMessageW(target, WM_KEYDOWN, key, 1);
  ::PostMessageW(target, WM_KEYUP, key, 0xC0000001);
}

// Posted, not sent: the question the click opens runs its own loop, in which the timer goes on.
void Click(int id) {
  HWND control = Control(id);
  ::PostMessageW(::GetParent(control), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(control));
}

void CALLBACK Play(HWND, UINT, UINT_PTR, DWORD) {
  static bool inside = false;
  if (inside) return;
  // A step that waits for ever must not hang the run: everything is closed after a while.
  if (static_cast<LONG>(::GetTickCount() - g_deadline) > 0 && !g_steps.empty()) {
    g_failure = L"a step still waited after 15 s";
    g_steps.clear();
    if (HWND question = ThreadWindow(L"警告")) ::PostMessageW(question, WM_CLOSE, 0, 0);
    ::PostMessageW(Options(), WM_COMMAND, IDCANCEL, 0);
  }
  if (g_steps.empty()) return;
  inside = true;
  if (g_steps.front()()) g_steps.pop_front();
  inside = false;
}

struct DialogRun {
  Settings settings = DefaultSettings(10);
  std::wstring folder = testing::MakeScratchFolder(L"options");
  std::string steps;
  bool saves = true;
  int portableAsked = 0;

  void ShowModal() {
    if (!Application::Instance().Handle()) Application::Instance().Initialize(L"Nimbrel");
    OptionsActions actions;
    auto step = [this](const char* name) { steps += steps.empty() ? name : std::string(" ") + name; };
    actions.removeMenuItems = [step](const AppliedOptions&) { step("remove"); };
    actions.setRefreshInterval = [step] { step("interval"); };
    actions.saveOptions = [this, step] {
      step("save");
      return saves;
    };
    actions.refreshTick = [step] { step("tick"); };
    actions.reapplyHotKeyAndDefaultEntry = [step] { step("hotkey"); };
    actions.isPortableDevice = [this] {
      ++portableAsked;
      return true;
    };
    TFrmOptions form(settings, folder + L"\\Nimbrel.Settings", WindowsThemeFolder(folder + L"\\"),
                     std::move(actions));
    g_failure.clear();
    g_deadline = ::GetTickCount() + 15000;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 100, &Play);
    form.ShowModal(nullptr, false);
    ::KillTimer(nullptr, timer);
    g_steps.clear();
    testing::RemoveTree(folder);
  }
};

// Each step waits for its own condition.
void Then(std::function<bool()> step) { g_steps.push_back(std::move(step)); }

TEST(OptionsDialog, KeyboardQuestionRefusedSaveAndEnter) {
  DialogRun run;
  int focusAfterTab = 0;
  Then([&] {
    if (!Options()) return false;
    HWND tabs = Control(IDC_PAGES);
    ::SetFocus(tabs);
    Key(tabs, VK_TAB);
    return true;
  });
  Then([&] {
    focusAfterTab = ::GetDlgCtrlID(::GetFocus());
    // Ticking the monitor option on a portable computer asks first; the answer keeps it off, and
    // "never again" takes effect at once.
    ::SendMessageW(Control(IDC_CHECKMONITOR), BM_SETCHECK, BST_CHECKED, 0);
    Click(IDC_CHECKMONITOR);
    return true;
  });
  Then([&] {
    HWND question = ThreadWindow(L"警告");
    if (!question) return false;
    ::SendMessageW(question, TDM_CLICK_VERIFICATION, TRUE, FALSE);
    ::SendMessageW(question, TDM_CLICK_BUTTON, kKeepMonitorOptionOff, 0);
    return true;
  });
  Then([&] {
    if (ThreadWindow(L"警告")) return false;
    EXPECT_EQ(::SendMessageW(Control(IDC_CHECKMONITOR), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_TRUE(run.settings.NoWarningSwithOffMonMobile);
    run.saves = false;
    Click(IDC_APPLY);
    return true;
  });
  Then([&] {
    if (run.steps.empty()) return false;
    EXPECT_EQ(run.steps, "remove interval save") << "a refused save stops the steps";
    EXPECT_TRUE(::IsWindowVisible(Options())) << "and keeps the dialog open";
    run.steps.clear();
    run.saves = true;
    HWND tabs = Control(IDC_PAGES);
    ::SetFocus(tabs);
    Key(tabs, VK_RETURN);
    return true;
  });
  run.ShowModal();

  EXPECT_EQ(g_failure, L"");
  EXPECT_EQ(focusAfterTab, IDC_CKSHOWPAGE) << "Tab goes from the tabs to the first box of the page";
  EXPECT_EQ(run.steps, "remove interval save tick hotkey") << "Enter is OK";
  EXPECT_EQ(run.portableAsked, 1);
  EXPECT_FALSE(run.settings.SwitchOffMonitorOnLock);
  EXPECT_TRUE(run.settings.NoWarningSwithOffMonMobile);
}

TEST(OptionsDialog, EscapeAndTheCloseBoxCloseWithoutApplying) {
  for (const bool closeBox : {false, true}) {
    DialogRun run;
    Then([&] {
      HWND dialog = Options();
      if (!dialog) return false;
      if (closeBox) {
        ::PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
      } else {
        ::SetFocus(Control(IDC_PAGES));
        Key(Control(IDC_PAGES), VK_ESCAPE);
      }
      return true;
    });
    run.ShowModal();
    EXPECT_EQ(g_failure, L"") << closeBox;
    EXPECT_EQ(run.steps, "") << closeBox;
    EXPECT_EQ(Options(), nullptr) << closeBox;
  }
}

TEST(OptionsDialog, TypedRefreshRateIsBroughtIntoRangeOnLeavingTheField) {
  DialogRun run;
  std::wstring shown;
  Then([&] {
    if (!Options()) return false;
    // The page "附加" as a click on its tab shows it; then 50 ms typed and the field left.
    HWND tabs = Control(IDC_PAGES);
    TabCtrl_SetCurSel(tabs, 1);
    NMHDR change{tabs, IDC_PAGES, TCN_SELCHANGE};
    ::SendMessageW(Options(), WM_NOTIFY, IDC_PAGES, reinterpret_cast<LPARAM>(&change));
    ::SetFocus(Control(IDC_EDITMILI));
    ::SetWindowTextW(Control(IDC_EDITMILI), L"50");
    ::SetFocus(Control(IDC_CMBDOUBLECLICK));
    wchar_t text[16] = {};
    ::GetWindowTextW(Control(IDC_EDITMILI), text, 16);
    shown = text;
    Click(IDOK);
    return true;
  });
  run.ShowModal();
  EXPECT_EQ(g_failure, L"");
  EXPECT_EQ(shown, L"100") << "the lower bound";
  EXPECT_EQ(run.settings.RefreshRate, 100);
}

void ShowPageOf(int index) {
  HWND tabs = Control(IDC_PAGES);
  TabCtrl_SetCurSel(tabs, index);
  NMHDR change{tabs, IDC_PAGES, TCN_SELCHANGE};
  ::SendMessageW(Options(), WM_NOTIFY, IDC_PAGES, reinterpret_cast<LPARAM>(&change));
}

TEST(OptionsDialog, CustomColourChosenWithTheKeyboardOpensTheColourDialog) {
  struct Case {
    int page;
    int picker;
  } cases[] = {{2, IDC_CMBCOLORPROCESSES}, {4, IDC_CMBFOREGROUND}};
  for (const Case& c : cases) {
    DialogRun run;
    int before = -1;
    int after = -1;
    bool colourDialog = false;
    Then([&] {
      if (!Options()) return false;
      ShowPageOf(c.page);
      HWND picker = Control(c.picker);
      before = static_cast<int>(::SendMessageW(picker, CB_GETCURSEL, 0, 0));
      ::SetFocus(picker);
      Key(picker, VK_F4);
      return true;
    });
    // The list open, the last entry ("自定义...") by the arrow keys, Enter.
    Then([&] {
      HWND picker = Control(c.picker);
      if (!::SendMessageW(picker, CB_GETDROPPEDSTATE, 0, 0)) return false;
      Key(picker, VK_END);
      Key(picker, VK_RETURN);
      return true;
    });
    Then([&] {
      HWND colours = testing::FindThreadDialog(Options());
      if (!colours) return false;
      colourDialog = true;
      ::PostMessageW(colours, WM_COMMAND, IDCANCEL, 0);
      return true;
    });
    Then([&] {
      if (testing::FindThreadDialog(Options())) return false;
      after = static_cast<int>(::SendMessageW(Control(c.picker), CB_GETCURSEL, 0, 0));
      Click(IDCANCEL);
      return true;
    });
    run.ShowModal();
    EXPECT_EQ(g_failure, L"") << c.picker;
    EXPECT_TRUE(colourDialog) << c.picker;
    EXPECT_EQ(after, before) << c.picker << ": a cancelled colour dialog brings the old colour back";
  }
}

TEST(OptionsDialog, ResetLinkKeepsAValueTypedElsewhere) {
  DialogRun run;
  run.settings.RefreshRate = 2000;
  run.settings.DefragEveryActive = true;
  run.settings.DefragEvery = 30;
  std::wstring shown;
  Then([&] {
    if (!Options()) return false;
    ShowPageOf(1);
    // 45 typed into "整理, 每:", the field not left; then a click on "默认值", which takes no focus.
    ::SetFocus(Control(IDC_WINSPINDEFRAGEVERYACTIVE));
    ::SetWindowTextW(Control(IDC_WINSPINDEFRAGEVERYACTIVE), L"45");
    HWND reset = Control(IDC_LABELRESETMILI);
    RECT r{};
    ::GetClientRect(reset, &r);
    const LPARAM at = MAKELPARAM(3, r.bottom / 2);
    ::PostMessageW(reset, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageW(reset, WM_LBUTTONUP, 0, at);
    return true;
  });
  Then([&] {
    if (::IsWindowVisible(Control(IDC_LABELRESETMILI))) return false;
    wchar_t text[16] = {};
    ::GetWindowTextW(Control(IDC_WINSPINDEFRAGEVERYACTIVE), text, 16);
    shown = text;
    Click(IDOK);
    return true;
  });
  run.ShowModal();
  EXPECT_EQ(g_failure, L"");
  EXPECT_EQ(shown, L"45");
  EXPECT_EQ(run.settings.DefragEvery, 45);
  EXPECT_EQ(run.settings.RefreshRate, 1000);
}

}  // namespace
}  // namespace nimbrel
